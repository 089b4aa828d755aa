#include "tools/helpmap/HelpMap.h"

#include <algorithm>
#include <functional>

namespace helpmap {

namespace {

constexpr std::uint32_t kHelpMagic = 0x00035F3F;
constexpr std::uint16_t kTreeMagic = 0x293B;
constexpr std::size_t kHeaderSize = 16;    // magic, directory offset, first free block, file size
constexpr std::size_t kFileHeaderSize = 9; // reserved space, used space, flags
constexpr std::size_t kTreeHeaderSize = 38;
constexpr std::size_t kLeafHeaderSize = 8; // unused, entries, previous page, next page
constexpr std::uint16_t kNoPage = 0xFFFF;

std::uint16_t word(const Bytes& data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
}

std::uint32_t dword(const Bytes& data, std::size_t at) {
    return word(data, at) | static_cast<std::uint32_t>(word(data, at + 2)) << 16;
}

void putWord(Bytes& data, std::size_t at, std::uint16_t value) {
    data[at] = static_cast<std::uint8_t>(value);
    data[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putDword(Bytes& data, std::size_t at, std::uint32_t value) {
    putWord(data, at, static_cast<std::uint16_t>(value));
    putWord(data, at + 2, static_cast<std::uint16_t>(value >> 16));
}

void appendDword(Bytes& data, std::uint32_t value) {
    data.resize(data.size() + 4);
    putDword(data, data.size() - 4, value);
}

// An internal file's extent, once its header has been checked against the help file's size.
struct Extent {
    std::size_t begin = 0; // its header
    std::size_t used = 0;  // bytes after the header
};

std::optional<Extent> extentAt(const Bytes& hlp, std::uint32_t offset) {
    if (offset < kHeaderSize || hlp.size() < kFileHeaderSize || offset > hlp.size() - kFileHeaderSize)
        return std::nullopt;
    std::uint32_t reserved = dword(hlp, offset);
    std::uint32_t used = dword(hlp, offset + 4);
    if (reserved > hlp.size() - offset || used > reserved - kFileHeaderSize || reserved < kFileHeaderSize)
        return std::nullopt;
    return Extent{offset, used};
}

// Reads one leaf entry starting at a position inside a page and returns its size, or 0 when it does not fit.
using LeafReader = std::function<std::size_t(std::size_t at, std::size_t pageEnd)>;

// Visits every leaf entry of the B+ tree held by an internal file, leaf by leaf from the leftmost one.
bool forEachLeafEntry(const Bytes& hlp, const Extent& file, const LeafReader& readEntry) {
    if (file.used < kTreeHeaderSize)
        return false;
    std::size_t tree = file.begin + kFileHeaderSize;
    if (word(hlp, tree) != kTreeMagic)
        return false;
    std::size_t pageSize = word(hlp, tree + 4);
    std::uint16_t root = word(hlp, tree + 26);
    std::size_t pageCount = word(hlp, tree + 30);
    std::size_t levels = word(hlp, tree + 32);
    if (pageSize < kLeafHeaderSize || levels == 0 || levels > pageCount ||
        pageCount * pageSize > file.used - kTreeHeaderSize)
        return false;
    std::size_t pages = tree + kTreeHeaderSize;

    // Index pages begin with two words and the page of their first child.
    std::uint16_t page = root;
    for (std::size_t level = 1; level < levels; ++level) {
        if (page >= pageCount)
            return false;
        page = word(hlp, pages + page * pageSize + 4);
    }
    // A chain longer than the page count has a loop.
    for (std::size_t visited = 0; page != kNoPage; ++visited) {
        if (page >= pageCount || visited == pageCount)
            return false;
        std::size_t begin = pages + page * pageSize;
        std::size_t end = begin + pageSize;
        std::size_t entries = word(hlp, begin + 2);
        std::size_t at = begin + kLeafHeaderSize;
        for (std::size_t i = 0; i < entries; ++i) {
            std::size_t size = readEntry(at, end);
            if (size == 0)
                return false;
            at += size;
        }
        page = word(hlp, begin + 6);
    }
    return true;
}

std::optional<Extent> findFile(const Bytes& hlp, const std::string& name) {
    auto files = listInternalFiles(hlp);
    if (!files)
        return std::nullopt;
    for (const InternalFile& file : *files) {
        if (file.name == name)
            return extentAt(hlp, file.offset);
    }
    return std::nullopt;
}

// The context table: (hash, topic offset) pairs.
std::optional<std::vector<std::pair<std::int32_t, std::uint32_t>>> readContexts(const Bytes& hlp) {
    auto table = findFile(hlp, "|CONTEXT");
    if (!table)
        return std::nullopt;
    std::vector<std::pair<std::int32_t, std::uint32_t>> contexts;
    bool whole = forEachLeafEntry(hlp, *table, [&](std::size_t at, std::size_t pageEnd) -> std::size_t {
        if (pageEnd - at < 8)
            return 0;
        contexts.emplace_back(static_cast<std::int32_t>(dword(hlp, at)), dword(hlp, at + 4));
        return 8;
    });
    if (!whole)
        return std::nullopt;
    return contexts;
}

} // namespace

std::int32_t contextHash(const std::string& context) {
    std::uint32_t hash = 0;
    for (char c : context) {
        std::uint32_t value = 0;
        if (c >= 'A' && c <= 'Z')
            value = static_cast<std::uint32_t>(c - 'A' + 17);
        else if (c >= 'a' && c <= 'z')
            value = static_cast<std::uint32_t>(c - 'a' + 17);
        else if (c >= '1' && c <= '9')
            value = static_cast<std::uint32_t>(c - '0');
        else if (c == '0')
            value = 10;
        else if (c == '.')
            value = 12;
        else if (c == '_')
            value = 13;
        // The viewer skips every other character.
        if (value != 0)
            hash = hash * 43 + value;
    }
    return static_cast<std::int32_t>(hash);
}

std::optional<std::vector<InternalFile>> listInternalFiles(const Bytes& hlp) {
    if (hlp.size() < kHeaderSize || dword(hlp, 0) != kHelpMagic || dword(hlp, 12) != hlp.size())
        return std::nullopt;
    auto directory = extentAt(hlp, dword(hlp, 4));
    if (!directory)
        return std::nullopt;
    std::vector<InternalFile> files;
    bool whole = forEachLeafEntry(hlp, *directory, [&](std::size_t at, std::size_t pageEnd) -> std::size_t {
        auto nameEnd = std::find(hlp.begin() + at, hlp.begin() + pageEnd, 0);
        std::size_t nameLength = nameEnd - (hlp.begin() + at);
        if (pageEnd - at < nameLength + 1 + 4)
            return 0;
        InternalFile file;
        file.name.assign(hlp.begin() + at, nameEnd);
        file.offsetAt = at + nameLength + 1;
        file.offset = dword(hlp, file.offsetAt);
        auto extent = extentAt(hlp, file.offset);
        if (!extent)
            return 0;
        file.size = dword(hlp, file.offset);
        files.push_back(file);
        return nameLength + 1 + 4;
    });
    if (!whole)
        return std::nullopt;
    return files;
}

std::optional<std::uint32_t> topicOffset(const Bytes& hlp, const std::string& context) {
    auto contexts = readContexts(hlp);
    if (!contexts)
        return std::nullopt;
    std::int32_t hash = contextHash(context);
    for (const auto& [key, offset] : *contexts) {
        if (key == hash)
            return offset;
    }
    return std::nullopt;
}

std::optional<std::vector<MapEntry>> readContextMap(const Bytes& hlp) {
    auto map = findFile(hlp, "|CTXOMAP");
    if (!map || map->used < 2)
        return std::nullopt;
    std::size_t at = map->begin + kFileHeaderSize;
    std::size_t count = word(hlp, at);
    if ((map->used - 2) / 8 < count)
        return std::nullopt;
    std::vector<MapEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t entry = at + 2 + i * 8;
        entries.push_back({static_cast<std::int32_t>(dword(hlp, entry)), dword(hlp, entry + 4)});
    }
    return entries;
}

std::optional<Bytes> withContextMap(const Bytes& hlp, const std::vector<std::pair<std::int32_t, std::string>>& numbers,
                                    std::string& error) {
    auto files = listInternalFiles(hlp);
    if (!files) {
        error = "not a whole, well-formed help file";
        return std::nullopt;
    }
    auto oldMap =
        std::find_if(files->begin(), files->end(), [](const InternalFile& f) { return f.name == "|CTXOMAP"; });
    if (oldMap == files->end()) {
        error = "the help file has no context-number map";
        return std::nullopt;
    }
    auto contexts = readContexts(hlp);
    if (!contexts) {
        error = "the help file has no readable context table";
        return std::nullopt;
    }

    std::vector<MapEntry> entries;
    for (const auto& [number, context] : numbers) {
        std::int32_t hash = contextHash(context);
        auto found = std::find_if(contexts->begin(), contexts->end(), [&](const auto& c) { return c.first == hash; });
        if (found == contexts->end()) {
            error = "no topic has the context \"" + context + "\"";
            return std::nullopt;
        }
        entries.push_back({number, found->second});
    }
    std::sort(entries.begin(), entries.end(), [](const MapEntry& a, const MapEntry& b) { return a.number < b.number; });
    auto twice = std::adjacent_find(entries.begin(), entries.end(),
                                    [](const MapEntry& a, const MapEntry& b) { return a.number == b.number; });
    if (twice != entries.end()) {
        error = "the number " + std::to_string(twice->number) + " is given twice";
        return std::nullopt;
    }
    if (entries.size() > 0xFFFF) {
        error = "too many numbers";
        return std::nullopt;
    }

    // The new map goes at the end and the directory points at it; the old one stays behind, unread.
    Bytes map;
    std::uint32_t used = static_cast<std::uint32_t>(2 + entries.size() * 8);
    appendDword(map, static_cast<std::uint32_t>(kFileHeaderSize) + used);
    appendDword(map, used);
    map.push_back(hlp[oldMap->offset + 8]);
    map.resize(map.size() + 2);
    putWord(map, map.size() - 2, static_cast<std::uint16_t>(entries.size()));
    for (const MapEntry& entry : entries) {
        appendDword(map, static_cast<std::uint32_t>(entry.number));
        appendDword(map, entry.topicOffset);
    }
    if (hlp.size() + map.size() > 0xFFFFFFFFu) {
        error = "the help file would grow too large";
        return std::nullopt;
    }

    Bytes mapped = hlp;
    std::uint32_t mapOffset = static_cast<std::uint32_t>(mapped.size());
    mapped.insert(mapped.end(), map.begin(), map.end());
    putDword(mapped, oldMap->offsetAt, mapOffset);
    putDword(mapped, 12, static_cast<std::uint32_t>(mapped.size()));
    return mapped;
}

} // namespace helpmap
