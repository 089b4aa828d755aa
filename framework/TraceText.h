// Text handling of the trace log, free of window code.
#pragma once

#include <cstdarg>
#include <string>

namespace trace {

// Formats into a 512-byte buffer: at most 511 characters, always zero-terminated.
constexpr size_t kTraceBufferSize = 512;
void formatTraceBuffer(char (&buffer)[kTraceBufferSize], const char* format, va_list args);

// With UTF-8 as the code page: a character the 511-byte cut split is dropped whole, so the logger never
// receives half of one. Complete text is left as it is.
void dropSplitUtf8Character(char (&buffer)[kTraceBufferSize]);

// Every "\n" becomes "\r\n".
std::string widenLineEnds(const char* text);

} // namespace trace
