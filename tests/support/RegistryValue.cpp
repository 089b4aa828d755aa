#include "tests/support/RegistryValue.h"

#include <utility>
#include <vector>

namespace support {

RegistryValue::RegistryValue(HKEY root, std::string subkey, std::string name)
    : m_root(root), m_subkey(std::move(subkey)), m_name(std::move(name)) {
    HKEY key;
    if (RegOpenKeyExA(m_root, m_subkey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        std::vector<char> data(4096);
        DWORD size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key, m_name.c_str(), nullptr, &m_oldType, reinterpret_cast<BYTE*>(data.data()), &size) ==
            ERROR_SUCCESS) {
            m_hadValue = true;
            m_oldData.assign(data.data(), size);
        }
        RegCloseKey(key);
    }
}

RegistryValue::~RegistryValue() {
    if (m_hadValue)
        set(m_oldType, m_oldData.data(), static_cast<DWORD>(m_oldData.size()));
    else
        remove();
}

void RegistryValue::set(DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(m_root, m_subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, m_name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
}

void RegistryValue::setString(const std::string& text) {
    set(REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void RegistryValue::remove() {
    HKEY key;
    if (RegOpenKeyExA(m_root, m_subkey.c_str(), 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, m_name.c_str());
        RegCloseKey(key);
    }
}

AppDefault::AppDefault(const std::string& program, const std::string& subkey, const std::string& name,
                       const std::string& value)
    : m_value(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + program + (subkey.empty() ? "" : "\\" + subkey),
              name) {
    m_value.setString(value);
}

} // namespace support
