#include "framework/TraceText.h"

#include <cstdio>
#include <cstring>

namespace trace {

void formatTraceBuffer(char (&buffer)[kTraceBufferSize], const char* format, va_list args) {
    buffer[0] = '\0';
    int written = std::vsnprintf(buffer, kTraceBufferSize, format ? format : "", args);
    if (written < 0)
        buffer[0] = '\0';
    buffer[kTraceBufferSize - 1] = '\0';
}

std::string widenLineEnds(const char* text) {
    std::string out;
    size_t length = std::strlen(text);
    out.reserve(length + length / 8 + 2);
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\n')
            out += '\r';
        out += text[i];
    }
    return out;
}

} // namespace trace
