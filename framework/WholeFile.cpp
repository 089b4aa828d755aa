#include "framework/WholeFile.h"

#include "framework/BlockingReads.h"
#include "framework/Handles.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace fw {

namespace {

// Small enough that a stop is seen within a few milliseconds even on a slow disk.
constexpr std::size_t kChunkBytes = std::size_t(1) << 20;

std::atomic<ReadChunk> g_readChunk{nullptr};

bool readChunk(HANDLE file, std::uint8_t* into, DWORD bytes, DWORD& read) {
    if (const ReadChunk standIn = g_readChunk.load()) {
        std::uint32_t got = 0;
        const bool ok = standIn(file, into, bytes, got);
        read = got;
        return ok;
    }
    return ReadFile(file, into, bytes, &read, nullptr) != FALSE;
}

WholeFileRead readInto(HANDLE file, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
                       const std::function<bool()>& stopRequested) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0)
        return WholeFileRead::Unreadable;
    if (std::uint64_t(size.QuadPart) > limit)
        return WholeFileRead::TooLarge;
    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return WholeFileRead::OutOfMemory;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kChunkBytes));
        DWORD read = 0;
        {
            // A read cancelled by the reader's stop fails: then the stop, not the file, is the reason.
            const BlockingRead registered(stopRequested);
            if (!registered.mayRead())
                return WholeFileRead::Stopped;
            if (!readChunk(file, bytes.data() + done, chunk, read) || read == 0)
                return stopRequested && stopRequested() ? WholeFileRead::Stopped : WholeFileRead::Unreadable;
        }
        done += read;
    }
    return WholeFileRead::Read;
}

} // namespace

void setReadChunkForTests(ReadChunk read) {
    g_readChunk = read;
}

WholeFileRead readWholeFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
                            const std::function<bool()>& stopRequested) {
    bytes.clear();
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return WholeFileRead::Unreadable;
    const WholeFileRead result = readInto(file.get(), limit, bytes, stopRequested);
    if (result != WholeFileRead::Read)
        std::vector<std::uint8_t>().swap(bytes);
    return result;
}

} // namespace fw
