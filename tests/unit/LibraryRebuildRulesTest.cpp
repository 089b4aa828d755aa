// The rebuild's decisions: unchanged folders, the cache folder itself, what the clean-up may delete
// and which list keys are stale.
#include "library/RebuildRules.h"

#include <gtest/gtest.h>

namespace {

TEST(LibraryRebuildRules, OnlyAnExactUnforcedMatchIsUnchanged) {
    EXPECT_TRUE(library::isUnchanged(false, "C:\\Pics", "C:\\Pics", 3, 3));
    EXPECT_TRUE(library::isUnchanged(false, "", "", 0, 0));
    EXPECT_FALSE(library::isUnchanged(true, "C:\\Pics", "C:\\Pics", 3, 3));
    EXPECT_FALSE(library::isUnchanged(false, "C:\\Pics", "C:\\Pics", 4, 3));
    EXPECT_FALSE(library::isUnchanged(false, "C:\\pics", "C:\\Pics", 3, 3));
    EXPECT_FALSE(library::isUnchanged(false, "C:\\Pics\\", "C:\\Pics", 3, 3));
}

TEST(LibraryRebuildRules, SameFolderIgnoresCaseAndOneTrailingBackslash) {
    const char* cache = "C:\\Program Files\\Prismata\\ImageCache\\";
    EXPECT_TRUE(library::isSameFolder("C:\\Program Files\\Prismata\\ImageCache", cache));
    EXPECT_TRUE(library::isSameFolder("c:\\program files\\prismata\\IMAGECACHE\\", cache));
    EXPECT_FALSE(library::isSameFolder("C:\\Program Files\\Prismata\\ImageCache\\\\", cache));
    EXPECT_FALSE(library::isSameFolder("C:\\Program Files\\Prismata\\ImageCache2", cache));
    EXPECT_FALSE(library::isSameFolder("C:\\Program Files\\Prismata", cache));
}

TEST(LibraryRebuildRules, DeletesOnlyBmpFilesInAFolderNamedImageCache) {
    EXPECT_TRUE(library::isDeletableCacheFile("C:\\P\\ImageCache\\photo.bmp"));
    EXPECT_TRUE(library::isDeletableCacheFile("C:\\P\\ImageCache\\photo-0.BMP"));
    EXPECT_FALSE(library::isDeletableCacheFile("C:\\P\\imagecache\\photo.bmp"));
    EXPECT_FALSE(library::isDeletableCacheFile("C:\\P\\Pictures\\photo.bmp"));
    EXPECT_FALSE(library::isDeletableCacheFile("C:\\P\\ImageCache\\photo.bmpx"));
    EXPECT_FALSE(library::isDeletableCacheFile("C:\\P\\ImageCache\\PHOTO~1.BMP.jpg"));
    EXPECT_FALSE(library::isDeletableCacheFile("ImageCache\\photo.bmp"));
    EXPECT_FALSE(library::isDeletableCacheFile(".bmp"));
}

TEST(LibraryRebuildRules, StaleListKeysAreThoseBelowTheStoredCount) {
    EXPECT_TRUE(library::isListEntryBelow("Entry0", 3));
    EXPECT_TRUE(library::isListEntryBelow("Entry2", 3));
    EXPECT_TRUE(library::isListEntryBelow("entry1", 3));
    EXPECT_TRUE(library::isListEntryBelow("ENTRY1999999999", 2000000000));
    EXPECT_FALSE(library::isListEntryBelow("Entry3", 3));
    EXPECT_FALSE(library::isListEntryBelow("Entry0", 0));
    EXPECT_FALSE(library::isListEntryBelow("Entry0", -1));
    EXPECT_FALSE(library::isListEntryBelow("Entry", 3));
    EXPECT_FALSE(library::isListEntryBelow("Entry01", 3));
    EXPECT_FALSE(library::isListEntryBelow("Entry-1", 3));
    EXPECT_FALSE(library::isListEntryBelow("Entry1x", 3));
    EXPECT_FALSE(library::isListEntryBelow("Count", 3));
    EXPECT_FALSE(library::isListEntryBelow("Entry99999999999", 2147483647));
}

} // namespace
