// Settings files of any content: the list written into them reads back exactly, a second write of the same
// list changes nothing, and only the list's own section changes.
#include "framework/ProfileText.h"
#include "tests/support/FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The file without the first [Photos] section's lines: what a rewrite must leave as it was.
std::string outsidePhotos(const std::string& file) {
    std::string outside;
    bool inside = false, seen = false;
    std::size_t at = 0;
    while (at < file.size()) {
        std::size_t end = file.find('\n', at);
        end = end == std::string::npos ? file.size() : end + 1;
        std::string_view line(file.data() + at, end - at);
        std::size_t first = line.find_first_not_of(" \t\n\v\f\r\x1a");
        const bool header = first != std::string_view::npos && line[first] == '[' && line.rfind(']') > first &&
                            line.rfind(']') != std::string_view::npos;
        if (header) {
            inside = false;
            if (!seen) {
                const fw::ProfileSection alone(line, "Photos");
                inside = seen = alone.found();
            }
        }
        if (!inside || header)
            outside.append(line);
        at = end;
    }
    return outside;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    (void)fw::isPlainProfileText(file);
    const fw::ProfileSection before(file, "Photos");
    (void)before.value("Count");

    std::vector<fw::ProfileKey> list{{"Count", std::to_string(size % 5)}};
    for (std::size_t i = 0; i < size % 5; ++i)
        list.push_back({"Entry" + std::to_string(i), "C:\\p" + std::to_string(i) + ".bmp"});
    auto stale = [](std::string_view name) { return name.size() > 5 && name.substr(0, 5) == "Entry"; };
    const std::string after = fw::withSectionKeys(file, "Photos", list, stale);

    const fw::ProfileSection photos(after, "Photos");
    support::check(photos.found());
    for (const fw::ProfileKey& key : list)
        support::check(photos.value(key.name) == key.value);
    support::check(fw::withSectionKeys(after, "Photos", list, stale) == after);
    // Line breaks may be added where the section meets the rest; nothing else outside it changes.
    auto withoutBreaks = [](std::string text) {
        std::string kept;
        for (char c : text)
            if (c != '\r' && c != '\n')
                kept += c;
        return kept;
    };
    const std::string outsideBefore = withoutBreaks(outsidePhotos(file));
    const std::string outsideAfter = withoutBreaks(outsidePhotos(after));
    support::check(outsideAfter == outsideBefore || outsideAfter == outsideBefore + "[Photos]");
    return 0;
}
