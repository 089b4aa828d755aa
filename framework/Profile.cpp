#include "framework/Profile.h"

#include "framework/WinApp.h"
#include "framework/ProfileValue.h"

#include <cstdio>
#include <vector>

namespace fw {

namespace {

const char* profilePath() {
    WinApp* app = WinApp::current();
    return app ? app->profileFile().c_str() : "";
}

// Reads one value whole, growing the buffer for long values. found is false when the key is missing.
std::string readValue(const char* section, const char* key, bool& found) {
    // A default no value can equal marks a missing key.
    static const char kMissing[] = "\x01missing\x01";
    std::vector<char> buffer(256);
    for (;;) {
        DWORD length = GetPrivateProfileStringA(section, key, kMissing, buffer.data(),
                                                static_cast<DWORD>(buffer.size()), profilePath());
        if (length + 1 < buffer.size() || buffer.size() >= (1u << 20)) {
            std::string value(buffer.data(), length);
            found = value != kMissing;
            return found ? value : std::string();
        }
        buffer.resize(buffer.size() * 4);
    }
}

// A list of null-terminated strings, growing the buffer until it fits.
template <typename Read> std::vector<std::string> readStringList(const Read& read) {
    std::vector<char> buffer(4096);
    DWORD length = 0;
    for (;;) {
        length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
        // A full buffer comes back as its size minus two.
        if (length + 2 < buffer.size() || buffer.size() >= (64u << 20))
            break;
        buffer.resize(buffer.size() * 4);
    }
    std::vector<std::string> strings;
    for (DWORD at = 0; at < length && buffer[at];) {
        strings.emplace_back(buffer.data() + at);
        at += static_cast<DWORD>(strings.back().size()) + 1;
    }
    return strings;
}

} // namespace

int GetProfileInt(const char* section, const char* key, int defaultValue) {
    bool found = false;
    std::string value = readValue(section, key, found);
    return found ? parseProfileInt(value, defaultValue) : defaultValue;
}

std::string GetProfileString(const char* section, const char* key, const char* defaultValue) {
    bool found = false;
    std::string value = readValue(section, key, found);
    return found ? value : std::string(defaultValue ? defaultValue : "");
}

bool WriteProfileInt(const char* section, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return WritePrivateProfileStringA(section, key, text, profilePath()) != FALSE;
}

bool WriteProfileString(const char* section, const char* key, const char* value) {
    return WritePrivateProfileStringA(section, key, value, profilePath()) != FALSE;
}

std::vector<std::string> GetProfileKeyNames(const char* section) {
    const char* file = profilePath();
    return readStringList(
        [&](char* buffer, DWORD size) { return GetPrivateProfileStringA(section, nullptr, "", buffer, size, file); });
}

std::vector<std::string> GetProfileSection(const char* section) {
    const char* file = profilePath();
    return readStringList(
        [&](char* buffer, DWORD size) { return GetPrivateProfileSectionA(section, buffer, size, file); });
}

bool WriteProfileSection(const char* section, const std::vector<std::string>& lines) {
    std::string block;
    for (const std::string& line : lines)
        block.append(line).push_back('\0');
    // An empty section still needs its two closing nulls.
    block.push_back('\0');
    if (lines.empty())
        block.push_back('\0');
    return WritePrivateProfileSectionA(section, block.c_str(), profilePath()) != FALSE;
}

} // namespace fw
