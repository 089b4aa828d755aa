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

std::optional<fw::ProfileSection> ProfileStore::readSectionOnce(const char* section) const {
    return fw::ReadProfileSectionOnce(section);
}

bool ProfileStore::replaceKeys(const char* section, const std::vector<fw::ProfileKey>& keys,
                               const std::function<bool(std::string_view name)>& dropped) const {
    return fw::WriteProfileSectionKeys(section, keys, dropped);
}

} // namespace settings
