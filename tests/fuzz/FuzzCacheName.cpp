// Cache names for hostile source names against any set of names already taken: the first free one of at
// most 100,001 candidates, always a .bmp directly inside the cache folder that the clean-up may delete.
#include "library/CacheName.h"
#include "library/RebuildRules.h"
#include "tests/support/FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using support::check;

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

// Lines: the cache folder, the source path, then the names taken in the cache folder ("*": all of them).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += char(data[i]);
    }
    if (lines.size() < 2)
        return 0;
    std::string cache = lines[0];
    if (cache.empty() || cache.back() != '\\')
        cache += '\\';
    const std::string& source = lines[1];
    std::set<std::string> taken;
    bool allTaken = false;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        allTaken = allTaken || lines[i] == "*";
        taken.insert(cache + lines[i]);
    }

    std::vector<std::string> asked;
    const std::string name = library::chooseCacheName(source, cache, [&](const std::string& path) {
        asked.push_back(path);
        return allTaken || taken.count(path) != 0;
    });

    check(!asked.empty() && asked.size() <= 100001);
    for (const std::string& path : asked)
        check(path.compare(0, cache.size(), cache) == 0 && endsWith(path, ".bmp"));
    check(name.compare(0, cache.size(), cache) == 0 && endsWith(name, ".bmp"));
    // Nothing in the source's name leads out of the cache folder.
    check(name.find('\\', cache.size()) == std::string::npos);
    const bool nameTaken = allTaken || taken.count(name) != 0;
    if (nameTaken) {
        // Only when every candidate is taken, and then the last one is overwritten.
        check(asked.size() == 100001 && name == asked.back() && endsWith(name, "-99999.bmp"));
    } else {
        // The first free candidate: every one asked before it was taken.
        check(name == asked.back());
        for (std::size_t i = 0; i + 1 < asked.size(); ++i)
            check(allTaken || taken.count(asked[i]) != 0);
    }
    // Whatever is made in the cache folder, the next rebuild's clean-up may delete.
    if (endsWith(cache, "\\ImageCache\\"))
        check(library::isDeletableCacheFile(name));
    return 0;
}
