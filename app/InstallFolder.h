// The install-folder value from the installer's registry entry, checked without trusting its form.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace install {

constexpr size_t kAppPathBufferSize = 260;

// Turns what the registry query returned into the folder, ending in a backslash. The value must be a
// string type, fit the buffer and hold text; anything else is unreadable. Only the returned bytes are
// looked at, whether or not they carry a terminator.
std::optional<std::string> folderFromRegistryValue(unsigned long type, const char* data, size_t size);

} // namespace install
