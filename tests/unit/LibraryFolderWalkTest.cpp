// The walk over a picture folder tree, on a made-up listing: which folders are entered and in which order,
// which files are queued, and which are left out because they are stored online only.
#include "library/BuildStatus.h"
#include "library/FolderWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using library::FolderEntry;
namespace attribute = library::attribute;

constexpr std::uint32_t kFile = 0x20; // archive: a plain file on the device
constexpr std::uint32_t kFolder = attribute::kDirectory;

// Each folder's entries in the order the system lists them.
using Listing = std::map<std::string, std::vector<FolderEntry>>;

const Listing kTree = {
    {"C:\\P\\",
     {{".", kFolder},
      {"..", kFolder},
      {"z.jpg", kFile},
      {"10 Oct", kFolder},
      {"a.jpg", kFile},
      {"2 Feb", kFolder},
      {"album.jpg", kFolder},
      {".thumbs", kFolder | attribute::kHidden},
      {"System Volume Information", kFolder | attribute::kSystem | attribute::kHidden},
      {"loop", kFolder | attribute::kReparsePoint}, // a link whose kind is not told, as Wine lists one
      {"Junction", kFolder | attribute::kReparsePoint, 0xA0000003},
      {"Link", kFolder | attribute::kReparsePoint, 0xA000000C},
      {"ImageCache", kFolder},
      {"Cloud", kFolder | attribute::kReparsePoint | attribute::kRecallOnOpen, 0x9000601A},
      {"cloud.jpg", kFile | attribute::kRecallOnDataAccess},
      {"tape.jpg", kFile | attribute::kOffline},
      {"open.jpg", kFile | attribute::kRecallOnOpen},
      {"pinned.jpg", kFile | 0x00080000}, // pinned: on the device for good
      {"notes.txt", kFile},
      {"b.JPEG", kFile}}},
    {"C:\\P\\2 Feb\\", {{"..", kFolder}, {"a.jpg", kFile}, {"Deep", kFolder}}},
    {"C:\\P\\2 Feb\\Deep\\", {{"d.bmp", kFile}}},
    {"C:\\P\\10 Oct\\", {{"x.wmf", kFile}, {"gone", kFolder}}},
    {"C:\\P\\album.jpg\\", {{"inside.jpg", kFile}}},
    {"C:\\P\\.thumbs\\", {{"t.jpg", kFile}}},
    {"C:\\P\\System Volume Information\\", {{"s.jpg", kFile}}},
    {"C:\\P\\loop\\", {{"again.jpg", kFile}}},
    {"C:\\P\\Junction\\", {{"again.jpg", kFile}}},
    {"C:\\P\\Link\\", {{"again.jpg", kFile}}},
    {"C:\\P\\ImageCache\\", {{"a.bmp", kFile}}},
    {"C:\\P\\Cloud\\",
     {{"c.jpg", kFile | attribute::kReparsePoint | attribute::kRecallOnDataAccess, 0x9000601A},
      {"here.jpg", kFile | attribute::kReparsePoint, 0x9000601A}}},
};

struct Walked {
    library::FolderWalk walk;
    std::vector<std::string> visited;
};

Walked walk(const std::string& root, bool subfolders, const Listing& listing = kTree) {
    Walked result;
    auto list = [&listing](const std::string& folder, std::vector<FolderEntry>& entries) {
        auto found = listing.find(folder);
        if (found == listing.end())
            return false;
        entries = found->second;
        return true;
    };
    auto visit = [&result](const std::string& folder) {
        result.visited.push_back(folder);
        return true;
    };
    result.walk = library::walkPictureFolder(root, subfolders, "C:\\p\\imagecache\\", list, visit);
    return result;
}

TEST(LibraryFolderWalk, OneFolderKeepsTheListingOrderAndQueuesAFolderNamedLikeAPicture) {
    const Walked one = walk("C:\\P\\", false);
    EXPECT_EQ(one.walk.pictures, (std::vector<std::string>{"C:\\P\\z.jpg", "C:\\P\\a.jpg", "C:\\P\\album.jpg",
                                                           "C:\\P\\pinned.jpg", "C:\\P\\b.JPEG"}));
    EXPECT_EQ(one.visited, (std::vector<std::string>{"C:\\P\\"}));
    EXPECT_EQ(one.walk.onlineOnlyFiles, 3);
    EXPECT_FALSE(one.walk.stopped);
}

TEST(LibraryFolderWalk, TreeTakesEachFoldersFilesThenItsFoldersInNameOrder) {
    const Walked tree = walk("C:\\P\\", true);
    EXPECT_EQ(tree.walk.pictures,
              (std::vector<std::string>{"C:\\P\\z.jpg", "C:\\P\\a.jpg", "C:\\P\\pinned.jpg", "C:\\P\\b.JPEG",
                                        "C:\\P\\2 Feb\\a.jpg", "C:\\P\\2 Feb\\Deep\\d.bmp", "C:\\P\\10 Oct\\x.wmf",
                                        "C:\\P\\album.jpg\\inside.jpg", "C:\\P\\Cloud\\here.jpg"}));
    // Hidden, system, linked and cache folders are never listed, a cloud drive's folder is, even online only
    // (a listing fetches no picture); a folder that cannot be listed is passed over.
    EXPECT_EQ(tree.visited,
              (std::vector<std::string>{"C:\\P\\", "C:\\P\\2 Feb\\", "C:\\P\\2 Feb\\Deep\\", "C:\\P\\10 Oct\\",
                                        "C:\\P\\10 Oct\\gone\\", "C:\\P\\album.jpg\\", "C:\\P\\Cloud\\"}));
    EXPECT_EQ(tree.walk.onlineOnlyFiles, 4);
}

TEST(LibraryFolderWalk, VisitorStopsTheWalkBeforeTheNextFolder) {
    int visits = 0;
    auto list = [](const std::string& folder, std::vector<FolderEntry>& entries) {
        auto found = kTree.find(folder);
        if (found != kTree.end())
            entries = found->second;
        return found != kTree.end();
    };
    const library::FolderWalk stopped =
        library::walkPictureFolder("C:\\P\\", true, "", list, [&visits](const std::string&) { return ++visits < 3; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(visits, 3);
    EXPECT_EQ(stopped.pictures.size(), 5u); // the root's four and the first sub-folder's one
}

TEST(LibraryFolderWalk, FolderNamesSortAsAPersonReadsThem) {
    const std::vector<std::string> sorted = {"1",         "2 Feb", "02 Mar",   "10 Oct", "2019", "2020",
                                             "a",         "B",     "b1",       "b2",     "b10",  "Holiday",
                                             "holiday 2", "z",     "Ακρόπολη", "東京"};
    for (size_t i = 0; i < sorted.size(); ++i) {
        for (size_t j = 0; j < sorted.size(); ++j)
            EXPECT_EQ(library::folderNameLess(sorted[i], sorted[j]), i < j) << sorted[i] << " / " << sorted[j];
    }
    // Equal but for letter case or leading zeros: still one strict order.
    EXPECT_NE(library::folderNameLess("ab", "AB"), library::folderNameLess("AB", "ab"));
    EXPECT_NE(library::folderNameLess("07", "7"), library::folderNameLess("7", "07"));
}

TEST(LibraryFolderWalk, ProcessedBoxTellsOfOnlineOnlyPicturesOnlyWhenThereAreAny) {
    EXPECT_EQ(library::processedText(12, 0), "Processed 12 image files");
    EXPECT_EQ(library::processedText(12, 3),
              "Processed 12 image files\r\n\r\n3 pictures stored online only were skipped, so that they are not "
              "downloaded. Marking them \"Always keep on this device\" in OneDrive lets Prismata show them.");
    EXPECT_EQ(library::processedText(0, 1),
              "Processed 0 image files\r\n\r\n1 picture stored online only was skipped, so that they are not "
              "downloaded. Marking them \"Always keep on this device\" in OneDrive lets Prismata show them.");
}

} // namespace
