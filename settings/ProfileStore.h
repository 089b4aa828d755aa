// The program's settings file: the four profile functions and a section read or written whole, as one
// object the application hands to every part that reads or writes settings.
#pragma once

#include "framework/ProfileText.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

class ProfileStore {
public:
    int readInt(const char* section, const char* key, int defaultValue) const;
    std::string readString(const char* section, const char* key, const char* defaultValue = "") const;
    bool writeInt(const char* section, const char* key, int value) const;
    // A null value deletes the key.
    bool writeString(const char* section, const char* key, const char* value) const;
    // A section's keys from one read of the whole file; none when it has to be read key by key instead.
    std::optional<fw::ProfileSection> readSectionOnce(const char* section) const;
    // The section gets `keys` first and loses its other keys that `dropped` names, in one write of the whole
    // file; the rest of the file stays byte for byte. False when the file could not be written.
    bool replaceKeys(const char* section, const std::vector<fw::ProfileKey>& keys,
                     const std::function<bool(std::string_view name)>& dropped = {}) const;
};

} // namespace settings
