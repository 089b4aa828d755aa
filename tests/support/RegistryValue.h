// One registry value set for a while; what was there before (or nothing) comes back at the end.
#pragma once

#include <windows.h>

#include <string>

namespace support {

class RegistryValue {
public:
    RegistryValue(HKEY root, std::string subkey, std::string name);
    ~RegistryValue();
    RegistryValue(const RegistryValue&) = delete;
    RegistryValue& operator=(const RegistryValue&) = delete;

    void set(DWORD type, const void* data, DWORD size);
    void setString(const std::string& text);
    void remove();

private:
    HKEY m_root;
    std::string m_subkey;
    std::string m_name;
    bool m_hadValue = false;
    DWORD m_oldType = 0;
    std::string m_oldData;
};

// A per-program Wine setting (HKCU\Software\Wine\AppDefaults\<program>[\subkey]) for every program of
// that file name started while it lives.
class AppDefault {
public:
    AppDefault(const std::string& program, const std::string& subkey, const std::string& name,
               const std::string& value);

private:
    RegistryValue m_value;
};

} // namespace support
