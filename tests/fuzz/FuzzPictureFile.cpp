// Any bytes as a picture file, the way both readers of the program meet them: the texture loader's
// decode to a square size, within its memory budget, and the screen in front of the system picture
// loader. The screen passes only what our own header checks accept (and metafiles whose records hold
// what they promise).
#include "imaging/BmpDecoder.h"
#include "imaging/JpegDecoder.h"
#include "imaging/MetafileCheck.h"
#include "imaging/PictureDecoder.h"
#include "library/SourceScreen.h"
#include "tests/support/FuzzInput.h"

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using support::check;

// The heap held above where a measurement started, and the most it reached.
std::atomic<long long> g_held{0};
std::atomic<long long> g_peak{0};

void onMalloc(const volatile void*, std::size_t size) {
    const long long now = g_held += static_cast<long long>(size);
    long long seen = g_peak.load();
    while (now > seen && !g_peak.compare_exchange_weak(seen, now))
        ;
}

void onFree(const volatile void* p) {
    g_held -= static_cast<long long>(__sanitizer_get_allocated_size(const_cast<const void*>(p)));
}

const int g_hooks = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const int side = data[0] == 255 ? 256 : 1 + data[0] % 48;
    const std::uint8_t* bytes = data + 1;
    const std::size_t length = size - 1;

    imaging::Image out;
    imaging::PictureInfo info;
    const long long before = g_held.load();
    g_peak = before;
    const imaging::ImageError error = imaging::decodePictureToSize(bytes, length, side, side, out, &info);
    imaging::JpegDetails jpeg;
    const bool progressive =
        imaging::readJpegHeader(bytes, length, jpeg) == imaging::ImageError::None && jpeg.progressive;
    const std::size_t bound =
        imaging::decodeMemoryBudget(side, side) + (progressive ? imaging::kProgressiveCoefficientMemory : 0);
    check(g_hooks == 0 || g_peak.load() - before <= static_cast<long long>(bound));
    const imaging::PictureFormat format = imaging::detectPictureFormat(bytes, length);
    if (error == imaging::ImageError::None) {
        check(out.width == side && out.height == side);
        check(out.pixels.size() == std::size_t(side) * std::size_t(side));
        check(info.format == format && info.width > 0 && info.height > 0);
    } else {
        check(out.pixels.empty() && out.width == 0);
    }

    const bool sound = imaging::isSoundMetafile(bytes, length);
    if (!library::isSafeForSystemLoader(bytes, length))
        return 0;
    switch (format) {
    case imaging::PictureFormat::Bmp: {
        check(imaging::checkBmpFile(bytes, length) == imaging::ImageError::None);
        break;
    }
    case imaging::PictureFormat::Jpeg: {
        imaging::JpegDetails details;
        check(imaging::readJpegHeader(bytes, length, details) == imaging::ImageError::None);
        check(std::uint64_t(details.width) * std::uint64_t(details.height) <= imaging::kMaxImagePixels);
        break;
    }
    case imaging::PictureFormat::Wmf:
        check(sound);
        break;
    default:
        std::abort(); // nothing else is handed on
    }
    return 0;
}
