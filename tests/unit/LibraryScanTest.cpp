// Which folder entries are pictures, and the pattern a folder is searched with.
#include "library/PictureScan.h"

#include <gtest/gtest.h>

namespace {

TEST(LibraryScan, ListsTheFivePictureTypesInAnyCase) {
    const char* listed[] = {"C:\\P\\Beach.Jpeg", "C:\\P\\a.b.JPG",  "C:\\P\\scan.dib", "C:\\P\\x.bmp",
                            "C:\\P\\x.BMP",      "C:\\P\\clip.Wmf", "C:\\P\\sub.jpg"};
    for (const char* path : listed)
        EXPECT_TRUE(library::isPictureFileName(path)) << path;
    const char* skipped[] = {
        "C:\\P\\photo.png", "C:\\P\\photo.gif", "C:\\P\\photo.jpe",     "C:\\P\\photo.tif", "C:\\P\\.",
        "C:\\P\\..",        "C:\\P\\jpg",       "C:\\P\\photo.jpg.txt", "C:\\P\\photo.",    ""};
    for (const char* path : skipped)
        EXPECT_FALSE(library::isPictureFileName(path)) << path;
}

TEST(LibraryScan, PatternAddsOneSeparatorWhenMissing) {
    EXPECT_EQ(library::searchPattern("C:\\Pics\\"), "C:\\Pics\\*.*");
    EXPECT_EQ(library::searchPattern("C:\\Pics"), "C:\\Pics\\*.*");
    EXPECT_EQ(library::searchPattern("C:\\Pics/"), "C:\\Pics/*.*");
    EXPECT_EQ(library::searchPattern(""), "\\*.*");
}

} // namespace
