// Any text typed into an advanced-settings edit reads as a number or 0, and a number it prints reads back.
#include "config/DialogNumber.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    int value = config::parseDialogInt(text);
    if (config::parseDialogInt(std::to_string(value)) != value)
        std::abort();
    return 0;
}
