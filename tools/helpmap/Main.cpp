// Gives a Halibut-made help file the context numbers a program opens it with:
//   prismata_helpmap INPUT.hlp OUTPUT.hlp NUMBER=CONTEXT...
#include "tools/helpmap/HelpMap.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

// Far above any help file of ours; a larger input is refused rather than read.
constexpr std::streamoff kMaxInputSize = 64 * 1024 * 1024;

bool parseNumber(const std::string& text, std::int32_t& number) {
    if (text.empty())
        return false;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < INT32_MIN || value > INT32_MAX)
        return false;
    number = static_cast<std::int32_t>(value);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: prismata_helpmap INPUT.hlp OUTPUT.hlp NUMBER=CONTEXT...\n";
        return 2;
    }
    std::vector<std::pair<std::int32_t, std::string>> numbers;
    for (int i = 3; i < argc; ++i) {
        std::string pair = argv[i];
        auto equals = pair.find('=');
        std::int32_t number = 0;
        if (equals == std::string::npos || equals + 1 == pair.size() || !parseNumber(pair.substr(0, equals), number)) {
            std::cerr << "prismata_helpmap: expected NUMBER=CONTEXT, got \"" << pair << "\"\n";
            return 2;
        }
        numbers.emplace_back(number, pair.substr(equals + 1));
    }

    std::ifstream input(argv[1], std::ios::binary | std::ios::ate);
    if (!input) {
        std::cerr << "prismata_helpmap: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::streamoff size = input.tellg();
    if (size < 0 || size > kMaxInputSize) {
        std::cerr << "prismata_helpmap: " << argv[1] << " is too large for a help file\n";
        return 1;
    }
    helpmap::Bytes hlp(static_cast<std::size_t>(size));
    input.seekg(0);
    if (!input.read(reinterpret_cast<char*>(hlp.data()), size)) {
        std::cerr << "prismata_helpmap: cannot read " << argv[1] << "\n";
        return 1;
    }

    std::string error;
    auto mapped = helpmap::withContextMap(hlp, numbers, error);
    if (!mapped) {
        std::cerr << "prismata_helpmap: " << argv[1] << ": " << error << "\n";
        return 1;
    }
    std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
    if (!output.write(reinterpret_cast<const char*>(mapped->data()), static_cast<std::streamsize>(mapped->size())) ||
        !output.flush()) {
        output.close();
        std::remove(argv[2]);
        std::cerr << "prismata_helpmap: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
