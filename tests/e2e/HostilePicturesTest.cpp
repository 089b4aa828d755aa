// Every file of the hostile-picture folder through the two readers of the program, in this process: the
// conversion into a cache file (the system picture loader) and the texture loader's D3DX call (our own
// decoders). Each either works or fails cleanly; nothing crashes, hangs or leaves a partial cache file.
#include "d3dx/D3DXTexture.h"
#include "framework/ComApartment.h"
#include "framework/Handles.h"
#include "library/ImageConversion.h"
#include "tests/e2e/Harness.h"
#include "tests/support/HiddenDevice.h"
#include "tests/support/PeakWorkingSet.h"
#include "tools/hostile/HostilePictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace e2e;

namespace {

constexpr int kTargetSize = 256;

// Whatever a file claims, one picture's working memory (16 MB at 256, 128 MB more for a progressive
// JPEG) and its file's bytes (a few MB here), with room for what the platform adds around them.
constexpr std::size_t kPeakGrowthLimit = std::size_t(256) << 20;

class HostilePictures : public ::testing::Test {
protected:
    void SetUp() override {
        m_entries = hostile::hostilePictures(m_folder.path().size());
        ASSERT_TRUE(hostile::writeEntries(m_folder.path(), m_entries).empty());
    }

    TempFolder m_folder{"hostile"};
    std::vector<hostile::Entry> m_entries;
};

TEST_F(HostilePictures, EachFileConvertsOrFailsWithoutLeavingACacheFile) {
    TempFolder cache("hostile-cache");
    fw::ComApartment com;
    int converted = 0;
    const std::size_t peakBefore = support::peakWorkingSet();
    for (const hostile::Entry& entry : m_entries) {
        const std::string output = cache.path() + "out.bmp";
        const bool ok = library::convertPicture(m_folder.path() + entry.name, output, kTargetSize, nullptr);
        const DWORD attributes = GetFileAttributesA(output.c_str());
        if (ok) {
            ++converted;
            EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << entry.name;
        } else {
            EXPECT_EQ(attributes, INVALID_FILE_ATTRIBUTES) << entry.name << " left a partial cache file";
        }
        if (entry.expect != hostile::Entry::Expect::Either) {
            EXPECT_EQ(ok, entry.expect == hostile::Entry::Expect::Picture) << entry.name;
        }
        DeleteFileA(output.c_str());
        EXPECT_LT(support::peakWorkingSet() - peakBefore, kPeakGrowthLimit) << entry.name;
    }
    EXPECT_GE(converted, 10);
}

// The texture loader's call, on a hidden window's device.
TEST_F(HostilePictures, EachFileLoadsAsATextureOrFailsCleanly) {
    support::HiddenDevice hidden;
    IDirect3DDevice8* device = hidden.device();
    ASSERT_TRUE(device);

    const DWORD filter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR;
    const std::size_t peakBefore = support::peakWorkingSet();
    for (const hostile::Entry& entry : m_entries) {
        fw::ComPtr<IDirect3DTexture8> texture;
        const HRESULT hr = D3DXCreateTextureFromFileExA(device, (m_folder.path() + entry.name).c_str(), kTargetSize,
                                                        kTargetSize, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                        filter, filter, 0, nullptr, nullptr, texture.receive());
        if (entry.expect != hostile::Entry::Expect::Either) {
            EXPECT_EQ(SUCCEEDED(hr), entry.expect == hostile::Entry::Expect::Picture)
                << entry.name << " " << std::hex << hr;
        }
        if (SUCCEEDED(hr)) {
            D3DSURFACE_DESC desc{};
            texture->GetLevelDesc(0, &desc);
            EXPECT_EQ(desc.Width, UINT(kTargetSize)) << entry.name;
            EXPECT_EQ(desc.Height, UINT(kTargetSize)) << entry.name;
        } else {
            EXPECT_EQ(texture.get(), nullptr) << entry.name;
        }
        EXPECT_LT(support::peakWorkingSet() - peakBefore, kPeakGrowthLimit) << entry.name;
    }
}

} // namespace
