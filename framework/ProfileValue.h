// Reading INI values as the program's settings expect them; no window code.
#pragma once

#include <string_view>

namespace fw {

// An INI value read as a signed decimal integer: optional blanks, an optional sign, then the digits
// up to the first non-digit. Empty text gives the default; text without digits gives 0. Values past
// the int range stop at its ends.
int parseProfileInt(std::string_view text, int defaultValue);

} // namespace fw
