// Registry data of any type, size and content yields a folder ending in a backslash, or nothing.
#include "app/InstallFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    unsigned long type = data[0] % 8;
    // A copy of exactly the returned bytes, so any read past them is caught.
    std::vector<char> bytes(data + 1, data + size);
    auto folder = install::folderFromRegistryValue(type, bytes.data(), bytes.size());
    if (folder && (folder->empty() || folder->back() != '\\' || folder->size() > install::kAppPathBufferSize + 1))
        std::abort();
    return 0;
}
