// The program's settings file: the four profile functions and the key names of a section, as one
// object the application hands to every part that reads or writes settings.
#pragma once

#include <string>
#include <vector>

namespace settings {

class ProfileStore {
public:
    int readInt(const char* section, const char* key, int defaultValue) const;
    std::string readString(const char* section, const char* key, const char* defaultValue = "") const;
    bool writeInt(const char* section, const char* key, int value) const;
    // A null value deletes the key.
    bool writeString(const char* section, const char* key, const char* value) const;
    // The key names of a section as the file spells them.
    std::vector<std::string> keyNames(const char* section) const;
    // A whole section as key=value lines, read or replaced in one operation.
    std::vector<std::string> readSection(const char* section) const;
    bool writeSection(const char* section, const std::vector<std::string>& lines) const;
};

} // namespace settings
