#include "settings/ProfileStore.h"

#include "framework/Profile.h"

namespace settings {

int ProfileStore::readInt(const char* section, const char* key, int defaultValue) const {
    return fw::GetProfileInt(section, key, defaultValue);
}

std::string ProfileStore::readString(const char* section, const char* key, const char* defaultValue) const {
    return fw::GetProfileString(section, key, defaultValue);
}

bool ProfileStore::writeInt(const char* section, const char* key, int value) const {
    return fw::WriteProfileInt(section, key, value);
}

bool ProfileStore::writeString(const char* section, const char* key, const char* value) const {
    return fw::WriteProfileString(section, key, value);
}

std::vector<std::string> ProfileStore::keyNames(const char* section) const {
    return fw::GetProfileKeyNames(section);
}

std::vector<std::string> ProfileStore::readSection(const char* section) const {
    return fw::GetProfileSection(section);
}

bool ProfileStore::writeSection(const char* section, const std::vector<std::string>& lines) const {
    return fw::WriteProfileSection(section, lines);
}

} // namespace settings
