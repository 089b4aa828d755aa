#include "library/PictureListSection.h"

#include "framework/ProfileValue.h"
#include "library/RebuildRules.h"
#include "settings/SettingsKeys.h"

#include <cctype>
#include <cstdio>

namespace library {

namespace {

// The key of a line as the settings file reads it: the text before the first "=", without blanks around it.
std::string keyOf(const std::string& line) {
    std::string key = line.substr(0, line.find('='));
    while (!key.empty() && std::isspace(static_cast<unsigned char>(key.back())))
        key.pop_back();
    size_t first = 0;
    while (first < key.size() && std::isspace(static_cast<unsigned char>(key[first])))
        ++first;
    return key.substr(first);
}

std::string valueOf(const std::string& line) {
    const size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

bool isKey(const std::string& line, const char* name) {
    const std::string key = keyOf(line);
    const std::string wanted = name;
    if (key.size() != wanted.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(key[i])) != std::tolower(static_cast<unsigned char>(wanted[i])))
            return false;
    }
    return true;
}

// The first Count line wins, as the file's reader finds it.
int storedCount(const std::vector<std::string>& section) {
    for (const std::string& line : section) {
        if (isKey(line, keys::kCount))
            return fw::parseProfileInt(valueOf(line), 0);
    }
    return 0;
}

// section without Count, Stamp and the entries below count.
std::vector<std::string> keptLines(const std::vector<std::string>& section, int count) {
    std::vector<std::string> kept;
    for (const std::string& line : section) {
        if (!isKey(line, keys::kCount) && !isKey(line, keys::kStamp) && !isListEntryBelow(keyOf(line), count))
            kept.push_back(line);
    }
    return kept;
}

} // namespace

std::vector<std::string> clearedPictureList(const std::vector<std::string>& section) {
    std::vector<std::string> lines{std::string(keys::kCount) + "=0"};
    for (std::string& line : keptLines(section, storedCount(section)))
        lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string> writtenPictureList(const std::vector<std::string>& section,
                                            const std::vector<std::string>& entries, const std::string& stamp) {
    const int count = static_cast<int>(entries.size());
    std::vector<std::string> lines;
    lines.reserve(entries.size() + section.size() + 2);
    lines.push_back(std::string(keys::kCount) + "=" + std::to_string(count));
    lines.push_back(std::string(keys::kStamp) + "=" + stamp);
    char key[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(key, sizeof key, keys::kEntryFormat, i);
        lines.push_back(std::string(key) + "=" + entries[static_cast<size_t>(i)]);
    }
    for (std::string& line : keptLines(section, count))
        lines.push_back(std::move(line));
    return lines;
}

} // namespace library
