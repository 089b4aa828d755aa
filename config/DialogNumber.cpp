#include "config/DialogNumber.h"

#include <climits>

namespace config {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

int parseDialogInt(const std::string& text) {
    size_t i = 0;
    const size_t end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == end || !isDigit(text[i]))
        return 0;
    // Accumulated as a negative number so that INT_MIN itself fits.
    long long value = 0;
    for (; i < end && isDigit(text[i]); ++i) {
        value = value * 10 - (text[i] - '0');
        if (value < static_cast<long long>(INT_MIN))
            return 0;
    }
    while (i < end && isBlank(text[i]))
        ++i;
    if (i != end)
        return 0;
    if (!negative) {
        if (-value > INT_MAX)
            return 0;
        return static_cast<int>(-value);
    }
    return static_cast<int>(value);
}

} // namespace config
