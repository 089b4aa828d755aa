// Photographs through the conversion, compared with an independent downscale of the same photo made by
// ImageMagick at build time (scripts/make_quality_photos.py): a poor filter shows here as lost decibels.
#include "framework/ComApartment.h"
#include "library/FitGeometry.h"
#include "library/ImageConversion.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace librarytest;

namespace {

constexpr int kTargetSize = 256;

std::string photoFolder() {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string folder = exe;
    return folder.substr(0, folder.find_last_of('\\') + 1) + "quality-photos\\";
}

struct Photo {
    std::string name;
    int width = 0;
    int height = 0;
    std::string reference;
};

std::vector<Photo> readManifest(const std::string& folder) {
    std::vector<Photo> photos;
    const std::vector<unsigned char> text = readBytes(folder + "manifest.txt");
    std::istringstream lines(std::string(text.begin(), text.end()));
    Photo photo;
    while (lines >> photo.name >> photo.width >> photo.height >> photo.reference)
        photos.push_back(photo);
    return photos;
}

// Peak signal to noise over the three channels of the rectangle at (x, y) in the cache file against the
// whole of the reference, leaving out an inset ring of the rectangle (where the frame is drawn).
double psnr(const BmpFileView& cached, int x, int y, const BmpFileView& reference, int inset) {
    double squared = 0;
    long long samples = 0;
    for (int row = inset; row < reference.height() - inset; ++row) {
        for (int col = inset; col < reference.width() - inset; ++col) {
            Rgb a = cached.at(x + col, y + row);
            Rgb b = reference.at(col, row);
            squared +=
                double(a.r - b.r) * (a.r - b.r) + double(a.g - b.g) * (a.g - b.g) + double(a.b - b.b) * (a.b - b.b);
            samples += 3;
        }
    }
    if (samples == 0)
        return 0;
    if (squared == 0)
        return 99;
    return 10 * std::log10(255.0 * 255.0 / (squared / samples));
}

TEST(LibraryConversionQuality, PhotosMatchAGoodDownscale) {
    fw::ComApartment com;
    TempFolder dir("quality");
    const std::string folder = photoFolder();
    const std::vector<Photo> photos = readManifest(folder);
    ASSERT_GE(photos.size(), 6u) << "no photos in " << folder;

    double total = 0;
    for (const Photo& photo : photos) {
        SCOPED_TRACE(photo.name);
        const long hmWidth = std::lround(photo.width * 2540.0 / 96);
        const long hmHeight = std::lround(photo.height * 2540.0 / 96);
        auto plan = library::planFit(hmWidth, hmHeight, photo.width, photo.height, kTargetSize);
        ASSERT_TRUE(plan);
        BmpFileView reference = readBmpFile(folder + photo.reference);
        ASSERT_TRUE(reference.ok);
        ASSERT_EQ(reference.width(), plan->drawWidth);
        ASSERT_EQ(reference.height(), plan->drawHeight);

        const std::string output = dir.path() + "out.bmp";
        ASSERT_TRUE(library::convertPicture(folder + photo.name, output, kTargetSize, nullptr));
        BmpFileView cached = readBmpFile(output);
        ASSERT_TRUE(cached.ok);
        ASSERT_EQ(cached.width(), plan->bitmapWidth);
        ASSERT_EQ(cached.height(), plan->bitmapHeight);

        const double decibels = psnr(cached, plan->drawX, plan->drawY, reference, plan->letterBox ? 1 : 0);
        std::printf("  %-24s %5dx%-5d PSNR %.1f dB\n", photo.name.c_str(), photo.width, photo.height, decibels);
        EXPECT_GE(decibels, 30.0);
        total += decibels;
    }
    EXPECT_GE(total / photos.size(), 35.0);
}

} // namespace
