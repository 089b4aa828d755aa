// Reading a whole file into memory, bounded by a limit the caller sets, whatever size the file has.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fw {

enum class WholeFileRead { Read, Unreadable, TooLarge, OutOfMemory, Stopped };

// Reads in chunks; stopRequested, when given, is asked before each one, so a long read of a slow disk
// ends within a chunk's time. bytes holds the file only when the result is Read.
WholeFileRead readWholeFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
                            const std::function<bool()>& stopRequested = {});

// Reads one chunk of an opened file: ReadFile, unless a test puts in its own (a read that does not return,
// as from a network share that stopped answering). Null puts ReadFile back.
using ReadChunk = bool (*)(void* file, void* into, std::uint32_t bytes, std::uint32_t& read);
void setReadChunkForTests(ReadChunk read);

} // namespace fw
