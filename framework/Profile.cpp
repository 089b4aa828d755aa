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
    std::vector<char> buffer(4096);
    DWORD length = 0;
    for (;;) {
        length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()), file);
        // A full buffer comes back as its size minus two.
        if (length + 2 < buffer.size() || buffer.size() >= (64u << 20))
            break;
        buffer.resize(buffer.size() * 4);
    }
    std::vector<std::string> names;
    for (DWORD at = 0; at < length && buffer[at];) {
        names.emplace_back(buffer.data() + at);
        at += static_cast<DWORD>(names.back().size()) + 1;
    }
    return names;
}

} // namespace fw
