// The bytes of an INI file as the system's profile functions read them, and the same file with one section's
// keys replaced and every other byte kept; no window code.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fw {

// Section and key names as the profile functions compare them: letter case ignored (ASCII).
bool sameProfileName(std::string_view a, std::string_view b);
std::string loweredProfileName(std::string_view name);

// False for a file the profile functions read as Unicode (a UTF-8 or UTF-16 byte-order mark): only plain
// 8-bit text is read or rewritten here.
bool isPlainProfileText(std::string_view file);

// The keys of the first section of a name, as GetPrivateProfileString finds them: section and key names
// without regard to case, the first key of a name wins, a value without its outer blanks and without one
// pair of enclosing quotes. Later sections of the same name are not read.
class ProfileSection {
public:
    ProfileSection() = default;
    ProfileSection(std::string_view file, std::string_view section);

    bool found() const { return m_found; }
    // Missing, or named by a line without "=": no value.
    std::optional<std::string> value(std::string_view key) const;
    // As GetPrivateProfileInt reads it: the default when missing or empty.
    int intValue(std::string_view key, int defaultValue) const;
    std::size_t keyCount() const { return m_keys.size(); }

private:
    bool m_found = false;
    std::unordered_map<std::string, std::optional<std::string>> m_keys; // by lower-case name
};

struct ProfileKey {
    std::string name;
    std::string value;
};

// The file with `keys` as the first lines of the first section of that name, followed by the lines of that
// section (keys, comments, blank lines) that neither name one of `keys` nor are `dropped`; every byte outside
// those lines stays as it was. A missing section is appended at the end. New lines end in CR LF.
std::string withSectionKeys(std::string_view file, std::string_view section, const std::vector<ProfileKey>& keys,
                            const std::function<bool(std::string_view name)>& dropped);

} // namespace fw
