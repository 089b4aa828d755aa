#include "engine/EngineTexts.h"

#include <cstdio>
#include <cstring>

namespace engine {

void formatDeviceError(char (&buffer)[kMessageBufferSize], const char* errorName) {
    std::snprintf(buffer, sizeof buffer, "DirectX error opening device: %s", errorName ? errorName : "");
}

void appendSoftwareFailed(char (&buffer)[kMessageBufferSize]) {
    std::size_t used = strnlen(buffer, sizeof buffer - 1);
    std::snprintf(buffer + used, sizeof buffer - used, "%s", ". Software acceleration failed as well.");
}

} // namespace engine
