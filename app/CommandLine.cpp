#include "app/CommandLine.h"

#include <limits>

std::int64_t readDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return negative ? -value : value;
}

ParsedCommandLine parseCommandLineText(std::string_view line) {
    ParsedCommandLine result;
    size_t pos = 0;
    const size_t end = line.size();

    // The program name: quoted up to the closing quote, otherwise up to the first blank.
    if (pos < end && line[pos] == '"') {
        ++pos;
        while (pos < end && line[pos] != '"')
            ++pos;
    } else {
        while (pos < end && line[pos] != ' ')
            ++pos;
    }
    if (pos < end)
        ++pos;
    while (pos < end && line[pos] == ' ')
        ++pos;

    if (pos == end) {
        result.mode = SaverMode::ModeConfig;
        return result;
    }
    if (line[pos] == '-' || line[pos] == '/')
        ++pos;
    if (pos == end)
        return result;

    auto skipSeparators = [&] {
        ++pos;
        while (pos < end && (line[pos] == ' ' || line[pos] == ':'))
            ++pos;
    };
    switch (line[pos]) {
    case 'S':
    case 's':
        result.mode = SaverMode::ModeSaver;
        break;
    case 'T':
    case 't':
        result.mode = SaverMode::ModeTest;
        break;
    case 'P':
    case 'p':
    case 'L':
    case 'l':
        skipSeparators();
        result.mode = SaverMode::ModePreview;
        result.handle = readDecimal(line.substr(pos));
        break;
    case 'C':
    case 'c':
        skipSeparators();
        result.mode = SaverMode::ModeConfig;
        if (pos == end)
            result.useForegroundWindow = true;
        else
            result.handle = readDecimal(line.substr(pos));
        break;
    case 'A':
    case 'a':
        skipSeparators();
        result.mode = SaverMode::ModeChangePassword;
        result.handle = readDecimal(line.substr(pos));
        break;
    default:
        break;
    }
    return result;
}
