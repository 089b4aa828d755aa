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

void dropSplitUtf8Character(char (&buffer)[kTraceBufferSize]) {
    const size_t length = std::strlen(buffer);
    // The last character's first byte lies at most three bytes back; continuation bytes are 10xxxxxx.
    size_t start = length;
    while (start > 0 && length - start < 4 && (static_cast<unsigned char>(buffer[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start == 0)
        return;
    const unsigned char lead = static_cast<unsigned char>(buffer[start - 1]);
    const size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length - (start - 1) < needed)
        buffer[start - 1] = '\0';
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
