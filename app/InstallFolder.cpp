#include "app/InstallFolder.h"

#include <cstring>

namespace install {

namespace {
constexpr unsigned long kRegSz = 1;
constexpr unsigned long kRegExpandSz = 2;
} // namespace

std::optional<std::string> folderFromRegistryValue(unsigned long type, const char* data, size_t size) {
    if ((type != kRegSz && type != kRegExpandSz) || !data || size > kAppPathBufferSize)
        return std::nullopt;
    const void* zero = std::memchr(data, '\0', size);
    size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - data) : size;
    if (length == 0)
        return std::nullopt;
    std::string folder(data, length);
    if (folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace install
