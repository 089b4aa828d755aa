// The hostile-picture folder through the real program: a full library rebuild from the configuration
// dialog, then the show over the list it made until the loader has been through all of it. Nothing crashes,
// every scanned file has exactly one list entry, the show keeps drawing and ends with exit code 0 on a key.
#include "library/CacheName.h"
#include "resources/config_ids.h"
#include "tests/e2e/ConfigDriver.h"
#include "tests/e2e/SaverKit.h"
#include "tools/hostile/HostilePictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace e2e;
using namespace e2e::saver;

namespace {

// Room for one pass over the list: half a minute, or nearer two when the tall bitmaps the rebuild left
// unconverted take the loader most of a minute each.
constexpr DWORD kPassMilliseconds = 240000;
// The frame loop reports every 100 frames, about every two seconds.
constexpr DWORD kSample = 5000;
constexpr char kFramesLine[] = " frames per second\r\n";

// The name without its last extension, as the cache names it.
std::string stemOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// "stem-<digits>" back to "stem", or empty.
std::string withoutSuffix(const std::string& stem) {
    const size_t dash = stem.rfind('-');
    if (dash == std::string::npos || dash + 1 == stem.size() ||
        stem.find_first_not_of("0123456789", dash + 1) != std::string::npos)
        return std::string();
    return stem.substr(0, dash);
}

int occurrences(const std::string& log, const std::string& fragment) {
    int count = 0;
    for (size_t at = log.find(fragment); at != std::string::npos; at = log.find(fragment, at + 1))
        ++count;
    return count;
}

// Every path has been loaded, or failed to, at least once, and no load is under way.
bool onePassDone(const std::string& log, const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (log.find("Loading texture " + path + "\r\n") == std::string::npos)
            return false;
    const int started = occurrences(log, "Loading texture ");
    const int finished = occurrences(log, "Load texture succeeded\r\n") + occurrences(log, "Failed to load texture ");
    return finished >= started;
}

std::string profileValue(const std::string& file, const std::string& section, const std::string& key) {
    char buffer[2048];
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buffer, sizeof buffer, file.c_str());
    return buffer;
}

TEST(HostileLibrary, RebuildListsEveryFileOnceAndTheShowDrawsThroughAWholePass) {
    TempFolder pictures("hostile");
    const std::vector<hostile::Entry> entries = hostile::hostilePictures(pictures.path().size());
    ASSERT_TRUE(hostile::writeEntries(pictures.path(), entries).empty());
    const std::string folder = pictures.path().substr(0, pictures.path().size() - 1);
    const int scanned = static_cast<int>(entries.size());

    // The rebuild, through the configuration dialog's OK.
    ConfigSession session;
    session.writeProfile("[Settings]\r\nPicturePath=" + folder + "\r\nTimeBetweenImages=200\r\n");
    Logger logger;
    HWND dialog = session.open();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(waitForOK(dialog));
    click(dialog, IDOK);
    HWND box = session.waitForWindow("Prismata");
    ASSERT_TRUE(box) << logger.text();
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), "Processed " + std::to_string(scanned) + " image files");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(session.endsWithin(kDialogWait));

    // One entry per scanned file: its own path, or a cache file named after it.
    const std::string profile = session.profilePath();
    const std::string cache = session.installFolder() + "ImageCache\\";
    ASSERT_EQ(profileValue(profile, "Photos", "Count"), std::to_string(scanned));
    std::multiset<std::string> unconverted;
    std::map<std::string, const hostile::Entry*> byName;
    for (const hostile::Entry& entry : entries) {
        unconverted.insert(stemOf(entry.name));
        byName[entry.name] = &entry;
    }
    std::set<std::string> listedAsSource;
    std::vector<std::string> cacheStems;
    std::vector<std::string> paths;
    for (int i = 0; i < scanned; ++i) {
        const std::string path = profileValue(profile, "Photos", "Entry" + std::to_string(i));
        paths.push_back(path);
        if (path.compare(0, pictures.path().size(), pictures.path()) == 0) {
            const std::string name = path.substr(pictures.path().size());
            ASSERT_TRUE(byName.count(name)) << path;
            EXPECT_TRUE(listedAsSource.insert(name).second) << "listed twice: " << path;
            unconverted.erase(unconverted.find(stemOf(name)));
        } else {
            ASSERT_EQ(path.compare(0, cache.size(), cache), 0) << path;
            EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
            cacheStems.push_back(stemOf(library::fileNameOf(path)));
        }
    }
    for (const std::string& stem : cacheStems) {
        auto found = unconverted.find(stem);
        if (found == unconverted.end())
            found = unconverted.find(withoutSuffix(stem));
        ASSERT_NE(found, unconverted.end()) << "cache file for no source: " << stem;
        unconverted.erase(found);
    }
    EXPECT_TRUE(unconverted.empty());
    // The pictures convert (unless a cache name beside a long name would pass the path limit); what our
    // checks refuse stands in the list as itself.
    for (const hostile::Entry& entry : entries) {
        const bool converted = listedAsSource.count(entry.name) == 0;
        if (entry.expect == hostile::Entry::Expect::Picture && entry.name.size() < 100) {
            EXPECT_TRUE(converted) << entry.name;
        }
        if (entry.expect == hostile::Entry::Expect::Refused) {
            EXPECT_FALSE(converted) << entry.name;
        }
    }

    // The show over that list, cycling through every entry every few seconds, until one whole pass.
    ASSERT_TRUE(moveCursor(500, 400));
    auto show = startPrismata("/s");
    HWND window = waitForProcessWindow(show->id(), kSaverTitle, kExitWait);
    ASSERT_TRUE(window);
    ASSERT_TRUE(logger.waitFor(kFramesLine, kExitWait)) << logger.text();
    const Picture first = captureWholeScreen();
    int frameLines = occurrences(logger.text(), kFramesLine);
    DWORD lastReport = GetTickCount();
    DWORD longestSilence = 0;
    bool ended = false;
    const bool passed = pumpUntil(
        [&] {
            const std::string log = logger.text();
            const int lines = occurrences(log, kFramesLine);
            const DWORD now = GetTickCount();
            if (lines > frameLines) {
                frameLines = lines;
                lastReport = now;
            }
            longestSilence = std::max(longestSilence, now - lastReport);
            DWORD code = 0;
            ended = show->waitForExit(0, code);
            return ended || longestSilence > kSample || onePassDone(log, paths);
        },
        kPassMilliseconds);
    ASSERT_FALSE(ended) << "the show ended\n" << logger.text();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_LE(longestSilence, kSample) << "no frames for " << longestSilence << " ms";
    ASSERT_TRUE(passed) << "the loader did not get through the list\n" << logger.text();
    // A later report than the pass's last: the cube has turned since the first shot.
    const int linesAtPass = frameLines;
    ASSERT_TRUE(pumpUntil([&] { return occurrences(logger.text(), kFramesLine) > linesAtPass; }, kExitWait));
    const Picture second = captureWholeScreen();
    keepScreenshot("HostileLibrary.Show", second);
    EXPECT_GT(first.countNot(0), 1000u) << "nothing drawn";
    EXPECT_GT(first.differences(second), 1000u) << "the cube stood still";

    ASSERT_TRUE(xdotool("key a"));
    DWORD code = 1;
    ASSERT_TRUE(show->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
    const std::string log = logger.text();
    EXPECT_TRUE(endedFor(log, "Key Down")) << log;
    // Each load the loader starts ends in a trace line; the one under way when the show ended may not.
    const int started = occurrences(log, "Loading texture ");
    const int finished = occurrences(log, "Load texture succeeded\r\n") + occurrences(log, "Failed to load texture ");
    EXPECT_GE(finished, started - 1);
    EXPECT_LE(finished, started);
    // The loader went through the whole list at least once.
    for (const std::string& path : paths)
        EXPECT_NE(log.find("Loading texture " + path + "\r\n"), std::string::npos) << path;
    EXPECT_EQ(log.find("Trouble killing texture loading thread"), std::string::npos) << log;
}

} // namespace
