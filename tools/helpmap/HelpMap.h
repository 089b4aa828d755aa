// Reads the internal files of a Windows Help (.hlp) file and gives it a context-number map, so that a
// program's WinHelp(HELP_CONTEXT, n) call opens the topic meant for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace helpmap {

using Bytes = std::vector<std::uint8_t>;

struct InternalFile {
    std::string name;
    std::uint32_t offset = 0; // of its 9-byte header, from the start of the help file
    std::uint32_t size = 0;   // the space it holds, header included
    std::size_t offsetAt = 0; // where the directory keeps that offset
};

struct MapEntry {
    std::int32_t number = 0;
    std::uint32_t topicOffset = 0;
};

// The viewer's hash of a context string: the key of the context table.
std::int32_t contextHash(const std::string& context);

// The internal files in directory order; nothing when the data is not a whole, well-formed help file.
std::optional<std::vector<InternalFile>> listInternalFiles(const Bytes& hlp);

// The topic offset the context table gives for a context string.
std::optional<std::uint32_t> topicOffset(const Bytes& hlp, const std::string& context);

// The context-number map as it stands.
std::optional<std::vector<MapEntry>> readContextMap(const Bytes& hlp);

// The help file with its context-number map replaced by one that sends each number to its context's
// topic; every other internal file keeps its bytes. Nothing, with the reason in error, when the file is
// malformed, lacks a map or context table, or a context is not in it.
std::optional<Bytes> withContextMap(const Bytes& hlp, const std::vector<std::pair<std::int32_t, std::string>>& numbers,
                                    std::string& error);

} // namespace helpmap
