// Queries on a trace log as the logger writes it: one trace a line, each ended by CR LF.
#pragma once

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

namespace support {

// The lines of a text, without their line ends.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string current;
    while (std::getline(in, current)) {
        if (!current.empty() && current.back() == '\r')
            current.pop_back();
        result.push_back(current);
    }
    return result;
}

// Whole lines equal to the text.
inline int countLines(const std::string& log, const std::string& line) {
    int count = 0;
    for (const std::string& current : lines(log))
        count += current == line;
    return count;
}

// True when the lines occur in the log in this order (others may lie between).
inline bool inOrder(const std::string& log, const std::vector<std::string>& wanted) {
    std::size_t at = 0;
    for (const std::string& line : wanted) {
        at = log.find(line + "\r\n", at);
        if (at == std::string::npos)
            return false;
        at += line.size();
    }
    return true;
}

} // namespace support
