// The help-file context mapper over damaged help files: it refuses or maps, never reads outside the file,
// and what it maps has both numbers on their topics and every other internal file where it was.
#include "tests/support/FuzzInput.h"
#include "tools/helpmap/HelpMap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using support::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const helpmap::Bytes hlp(data, data + size);
    std::string error;
    auto mapped = helpmap::withContextMap(hlp, {{5, "advanced_settings"}, {4, "main_settings"}}, error);
    if (!mapped) {
        check(!error.empty());
        return 0;
    }
    // The new map: 9 bytes of header, the count and two pairs.
    check(mapped->size() == hlp.size() + 27);
    auto map = helpmap::readContextMap(*mapped);
    check(map && map->size() == 2);
    check((*map)[0].number == 4 && (*map)[0].topicOffset == helpmap::topicOffset(hlp, "main_settings"));
    check((*map)[1].number == 5 && (*map)[1].topicOffset == helpmap::topicOffset(hlp, "advanced_settings"));

    auto before = helpmap::listInternalFiles(hlp);
    auto after = helpmap::listInternalFiles(*mapped);
    check(before && after && before->size() == after->size());
    for (std::size_t i = 0; i < before->size(); ++i) {
        check((*before)[i].name == (*after)[i].name);
        if ((*before)[i].name != "|CTXOMAP")
            check((*before)[i].offset == (*after)[i].offset);
    }
    return 0;
}
