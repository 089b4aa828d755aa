// Cache file names: one per source in processing order, numbered when stems repeat.
#include "library/CacheName.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const std::string kCache = "C:\\Prismata\\ImageCache\\";

class CacheNames : public ::testing::Test {
protected:
    // Names a source and takes the name, as the worker does when it writes the file.
    std::string take(const std::string& source) {
        std::string name = library::chooseCacheName(source, kCache, [this](const std::string& path) {
            ++m_checks;
            return m_existing.count(path) > 0;
        });
        m_existing.insert(name);
        return name;
    }
    std::set<std::string> m_existing;
    int m_checks = 0;
};

TEST_F(CacheNames, RepeatedStemsGetNumberedInProcessingOrder) {
    EXPECT_EQ(take("D:\\Pics\\photo.jpg"), kCache + "photo.bmp");
    EXPECT_EQ(take("D:\\Pics\\photo.jpeg"), kCache + "photo-0.bmp");
    EXPECT_EQ(take("D:\\Pics\\photo.bmp"), kCache + "photo-1.bmp");
    EXPECT_EQ(take("D:\\Other\\beach.JPG"), kCache + "beach.bmp");
}

TEST_F(CacheNames, AStemRepeatedInHundredsOfFoldersNeverSharesAFile) {
    // Camera folders of a tree: IMG_0001.JPG in each of 150 folders.
    std::set<std::string> names;
    for (int folder = 0; folder < 150; ++folder)
        names.insert(take("D:\\Pics\\" + std::to_string(folder) + "\\IMG_0001.JPG"));
    EXPECT_EQ(names.size(), 150u);
    EXPECT_EQ(names.count(kCache + "IMG_0001-98.bmp"), 1u);
    EXPECT_EQ(names.count(kCache + "IMG_0001-148.bmp"), 1u);
    m_checks = 0;
    EXPECT_EQ(take("D:\\IMG_0001.jpg"), kCache + "IMG_0001-149.bmp");
    EXPECT_EQ(m_checks, 151);
}

TEST_F(CacheNames, OnlyTheNamesOwnExtensionIsCut) {
    EXPECT_EQ(take("D:\\Pics\\a.b.JPG"), kCache + "a.b.bmp");
    EXPECT_EQ(take("C:photo.wmf"), kCache + "photo.bmp");
    EXPECT_EQ(take("scan.dib"), kCache + "scan.bmp");
    // A dot in a folder name never cuts into the path.
    const std::string dotted = "C:\\Pris.mata\\ImageCache\\";
    EXPECT_EQ(library::chooseCacheName("D:\\x.y\\noext", dotted, [](const std::string&) { return false; }),
              dotted + "noext.bmp");
}

TEST(CacheFileName, TakesThePartAfterTheLastSeparator) {
    EXPECT_EQ(library::fileNameOf("C:\\Pics\\Beach.jpg"), "Beach.jpg");
    EXPECT_EQ(library::fileNameOf("C:Beach.jpg"), "Beach.jpg");
    EXPECT_EQ(library::fileNameOf("Beach.jpg"), "Beach.jpg");
    EXPECT_EQ(library::fileNameOf("C:\\Pics\\"), "");
    EXPECT_EQ(library::fileNameOf(""), "");
}

} // namespace
