#include "tests/support/PeakMemory.h"

#include <atomic>
#include <cerrno>
#include <cstdint>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define PEAK_MEMORY_DISABLED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PEAK_MEMORY_DISABLED 1
#endif

#ifdef PEAK_MEMORY_DISABLED

namespace peak {
bool available() {
    return false;
}
void reset(std::size_t) {}
std::size_t bytes() {
    return 0;
}
void stop() {}
} // namespace peak

#else

#include <malloc.h>

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

std::atomic<std::int64_t> g_held{0};
std::atomic<std::int64_t> g_base{0};
std::atomic<std::int64_t> g_peak{0};
std::atomic<std::int64_t> g_limit{0}; // 0: not measuring

// False when the request must be refused.
bool admit(std::size_t size) {
    const std::int64_t limit = g_limit.load(std::memory_order_relaxed);
    if (limit == 0)
        return true;
    const std::int64_t wanted =
        g_held.load(std::memory_order_relaxed) - g_base.load(std::memory_order_relaxed) + std::int64_t(size);
    std::int64_t seen = g_peak.load(std::memory_order_relaxed);
    while (wanted > seen && !g_peak.compare_exchange_weak(seen, wanted))
        ;
    return wanted <= limit;
}

void* counted(void* p) {
    if (p)
        g_held += std::int64_t(malloc_usable_size(p));
    return p;
}

void uncount(void* p) {
    if (p)
        g_held -= std::int64_t(malloc_usable_size(p));
}

} // namespace

extern "C" {

void* malloc(std::size_t size) {
    return admit(size) ? counted(__libc_malloc(size)) : nullptr;
}

void* calloc(std::size_t count, std::size_t size) {
    if (size && count > SIZE_MAX / size)
        return nullptr;
    return admit(count * size) ? counted(__libc_calloc(count, size)) : nullptr;
}

void* realloc(void* p, std::size_t size) {
    if (!admit(size))
        return nullptr;
    const std::int64_t before = p ? std::int64_t(malloc_usable_size(p)) : 0;
    void* q = __libc_realloc(p, size);
    if (q || size == 0) {
        g_held -= before;
        counted(q);
    }
    return q;
}

void free(void* p) {
    uncount(p);
    __libc_free(p);
}

void* memalign(std::size_t alignment, std::size_t size) {
    return admit(size) ? counted(__libc_memalign(alignment, size)) : nullptr;
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return memalign(alignment, size);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    void* p = memalign(alignment, size);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}

} // extern "C"

namespace peak {

bool available() {
    return true;
}

void reset(std::size_t refuseBeyond) {
    g_limit = 0;
    g_base = g_held.load();
    g_peak = 0;
    g_limit = std::int64_t(refuseBeyond);
}

std::size_t bytes() {
    const std::int64_t now = g_held.load() - g_base.load();
    const std::int64_t seen = g_peak.load();
    return std::size_t(now > seen ? now : seen);
}

void stop() {
    g_limit = 0;
}

} // namespace peak

#endif
