// Our D3DX texture functions on a real Direct3D 8 device: built-in bitmaps, picture files, failures.
#include "d3dx/D3DXTexture.h"
#include "framework/Handles.h"
#include "resources/resource.h"

#include "tests/support/BmpWriter.h"
#include "tests/support/DeviceTest.h"
#include "tests/support/ExifWriter.h"
#include "tests/support/PixelCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace support;

// Tests on one hidden window's windowed HAL device.
class TextureDevice : public DeviceTest {
protected:
    HRESULT load(const std::string& path, UINT size, fw::ComPtr<IDirect3DTexture8>& texture,
                 D3DFORMAT format = D3DFMT_UNKNOWN, D3DXIMAGE_INFO* info = nullptr) {
        const DWORD filter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR;
        return D3DXCreateTextureFromFileExA(device(), path.c_str(), size, size, D3DX_DEFAULT, 0, format,
                                            D3DPOOL_MANAGED, filter, filter, 0, info, nullptr, texture.receive());
    }

    // Level pixels as 0xAARRGGBB of an X8R8G8B8 or A8R8G8B8 texture.
    static std::vector<std::uint32_t> pixels(IDirect3DTexture8* texture, UINT level, D3DSURFACE_DESC& desc) {
        texture->GetLevelDesc(level, &desc);
        std::vector<std::uint32_t> out;
        D3DLOCKED_RECT locked{};
        if (FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY)))
            return out;
        for (UINT y = 0; y < desc.Height; ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
            out.insert(out.end(), row, row + desc.Width);
        }
        texture->UnlockRect(level);
        return out;
    }
};

TEST_F(TextureDevice, BuiltInFaceBitmapsKeepTheirSizeAndColour) {
    const int colours[6][3] = {{157, 153, 222}, {155, 212, 182}, {153, 170, 112},
                               {241, 147, 150}, {189, 144, 179}, {232, 199, 123}};
    const struct {
        int first;
        UINT size;
        DWORD levels;
    } sets[] = {{IDB_FACE_LARGE_FIRST, 128, 8}, {IDB_FACE_SMALL_FIRST, 16, 5}};
    for (const auto& set : sets) {
        for (int face = 0; face < 6; ++face) {
            fw::ComPtr<IDirect3DTexture8> texture;
            ASSERT_EQ(D3DXCreateTextureFromResourceA(device(), GetModuleHandleA(nullptr),
                                                     MAKEINTRESOURCEA(set.first + face), texture.receive()),
                      S_OK);
            EXPECT_EQ(texture->GetLevelCount(), set.levels);
            D3DSURFACE_DESC desc{};
            std::vector<std::uint32_t> level0 = pixels(texture.get(), 0, desc);
            EXPECT_EQ(desc.Width, set.size);
            EXPECT_EQ(desc.Height, set.size);
            EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
            EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
            double sum[3] = {0, 0, 0};
            for (std::uint32_t p : level0) {
                sum[0] += (p >> 16) & 255;
                sum[1] += (p >> 8) & 255;
                sum[2] += p & 255;
            }
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(sum[c] / level0.size(), colours[face][c], 0.5) << set.first + face;
            // The smallest level is the face's colour too.
            std::vector<std::uint32_t> last = pixels(texture.get(), set.levels - 1, desc);
            ASSERT_EQ(last.size(), 1u);
            EXPECT_TRUE(
                closeTo(last[0], std::uint32_t(colours[face][0] << 16 | colours[face][1] << 8 | colours[face][2]), 3))
                << hex(last[0]);
        }
    }
    fw::ComPtr<IDirect3DTexture8> missing;
    EXPECT_EQ(
        D3DXCreateTextureFromResourceA(device(), GetModuleHandleA(nullptr), MAKEINTRESOURCEA(4321), missing.receive()),
        D3DXERR_INVALIDDATA);
    EXPECT_FALSE(missing);
}

TEST_F(TextureDevice, BmpIsScaledToTheSquareWithAFullMipChain) {
    BmpFields s;
    s.width = 3;
    s.height = 2;
    s.pixels = packRows(24, {{0xFF0000, 0xFF0000, 0x0000FF}, {0xFF0000, 0xFF0000, 0x0000FF}}, false);
    const std::string path = write("wide.bmp", makeBmp(s));
    fw::ComPtr<IDirect3DTexture8> texture;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(path, 64, texture, D3DFMT_UNKNOWN, &info), S_OK);
    EXPECT_EQ(info.Width, 3u);
    EXPECT_EQ(info.Height, 2u);
    EXPECT_EQ(info.Format, D3DFMT_R8G8B8);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    EXPECT_EQ(texture->GetLevelCount(), 7u);
    D3DSURFACE_DESC desc{};
    std::vector<std::uint32_t> level0 = pixels(texture.get(), 0, desc);
    ASSERT_EQ(desc.Width, 64u);
    ASSERT_EQ(desc.Height, 64u);
    EXPECT_EQ(level0[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(level0[63 * 64] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(level0[32 * 64 + 63] & 0xFFFFFF, 0x0000FFu);
}

TEST_F(TextureDevice, CacheFilesOfSixteenBitDisplaysLoad) {
    BmpFields s;
    s.width = 2;
    s.height = 2;
    s.bitCount = 16;
    s.clrUsed = 65536;
    s.palette.assign(65536, 0);
    s.pixels = packRows(16, {{0x7C00, 0x7C00}, {0x7C00, 0x7C00}}, false);
    const std::string path = write("cache16.bmp", makeBmp(s));
    fw::ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(load(path, 8, texture), S_OK);
    D3DSURFACE_DESC desc{};
    for (std::uint32_t p : pixels(texture.get(), 0, desc))
        ASSERT_EQ(p & 0xFFFFFF, 0xFF0000u);
}

TEST_F(TextureDevice, JpegFromAFile) {
    const std::uint32_t colours[4] = {0xE02020, 0x20C040, 0x3040D0, 0xF0E060};
    const std::string path = write("photo.jpg", encodeJpeg(quadrants(256, 128, colours), 256, 128, {95, false, 2}));
    fw::ComPtr<IDirect3DTexture8> texture;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(path, 32, texture, D3DFMT_UNKNOWN, &info), S_OK);
    EXPECT_EQ(info.Width, 256u);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
    D3DSURFACE_DESC desc{};
    std::vector<std::uint32_t> level0 = pixels(texture.get(), 0, desc);
    ASSERT_EQ(level0.size(), 32u * 32u);
    for (int q = 0; q < 4; ++q)
        EXPECT_TRUE(closeTo(level0[(q / 2 ? 24 : 8) * 32 + (q % 2 ? 24 : 8)], colours[q], 8)) << q;
}

TEST_F(TextureDevice, SixteenBitFormatWhenAsked) {
    BmpFields s;
    s.width = 1;
    s.height = 1;
    s.pixels = packRows(24, {{0x00FF00}}, false);
    const std::string path = write("green.bmp", makeBmp(s));
    fw::ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(load(path, 4, texture, D3DFMT_R5G6B5), S_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    if (desc.Format != D3DFMT_R5G6B5)
        GTEST_SKIP() << "the device has no R5G6B5 textures";
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(*static_cast<const std::uint16_t*>(locked.pBits), 0x07E0);
    texture->UnlockRect(0);
}

TEST_F(TextureDevice, MetafileIsDrawnThroughGdi) {
    const std::string path = m_folder.path() + "drawing.wmf";
    HDC dc = CreateMetaFileA(path.c_str());
    ASSERT_NE(dc, nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 100, 100, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, red);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 0, 0, 101, 101);
    DeleteMetaFile(CloseMetaFile(dc));
    DeleteObject(red);
    fw::ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(load(path, 32, texture), S_OK);
    D3DSURFACE_DESC desc{};
    std::vector<std::uint32_t> level0 = pixels(texture.get(), 0, desc);
    ASSERT_EQ(level0.size(), 32u * 32u);
    EXPECT_TRUE(closeTo(level0[16 * 32 + 16], 0xFF0000, 8)) << hex(level0[16 * 32 + 16]);
}

TEST_F(TextureDevice, BadFilesAndSizesFailWithoutATexture) {
    const std::string text = "not a picture at all, only a name ending in .jpg\r\n";
    const std::uint32_t colours[4] = {1, 2, 3, 4};
    Bytes jpeg = encodeJpeg(quadrants(64, 64, colours), 64, 64, {});
    Bytes cut(jpeg.begin(), jpeg.begin() + jpeg.size() / 2);
    BmpFields s;
    s.width = 2;
    s.height = 2;
    s.pixels = packRows(24, {{1, 2}, {3, 4}}, false);
    const std::string bmp = write("good.bmp", makeBmp(s));
    const struct {
        std::string path;
        UINT size;
        HRESULT expected;
    } cases[] = {
        {m_folder.path() + "missing.jpg", 256, D3DXERR_INVALIDDATA},
        {write("empty.jpg", {}), 256, D3DXERR_INVALIDDATA},
        {write("text.jpg", Bytes(text.begin(), text.end())), 256, D3DXERR_INVALIDDATA},
        {write("cut.jpg", cut), 256, D3DXERR_INVALIDDATA},
        {m_folder.path(), 256, D3DXERR_INVALIDDATA}, // a folder
        {bmp, 0, D3DERR_INVALIDCALL},                // TextureSize 0
        {bmp, UINT(-256), D3DERR_INVALIDCALL},       // a negative TextureSize
    };
    for (const auto& c : cases) {
        fw::ComPtr<IDirect3DTexture8> texture;
        EXPECT_EQ(load(c.path, c.size, texture), c.expected) << c.path << " at " << c.size;
        EXPECT_FALSE(texture) << c.path;
    }
    IDirect3DTexture8* untouched = reinterpret_cast<IDirect3DTexture8*>(1);
    EXPECT_EQ(D3DXCreateTextureFromFileExA(nullptr, bmp.c_str(), 8, 8, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0, 0, 0,
                                           nullptr, nullptr, &untouched),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(untouched, nullptr);
}

TEST_F(TextureDevice, TextureSizeBeyondTheDeviceIsClampedToItsLargestSide) {
    BmpFields s;
    s.width = 2;
    s.height = 2;
    s.pixels = packRows(24, {{1, 2}, {3, 4}}, false);
    const std::string bmp = write("small.bmp", makeBmp(s));
    D3DCAPS8 caps{};
    ASSERT_EQ(device()->GetDeviceCaps(&caps), D3D_OK);
    const UINT largest = std::min<UINT>(4096, caps.MaxTextureWidth);
    fw::ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(load(bmp, 100000, texture), D3D_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, largest);
    EXPECT_EQ(desc.Height, std::min<UINT>(4096, caps.MaxTextureHeight));
}

TEST_F(TextureDevice, EveryExifOrientationGivesTheSameUprightTexture) {
    const imaging::Image upright = blockPicture(8, 4);
    std::vector<std::uint32_t> expected;
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE("orientation " + std::to_string(o));
        const Bytes file = withSegment(encodeImage(storedFor(upright, o)), exifSegment({o % 2 == 0, unsigned(o)}));
        const std::string path = write("photo" + std::to_string(o) + ".jpg", file);
        fw::ComPtr<IDirect3DTexture8> texture;
        ASSERT_EQ(load(path, 32, texture), D3D_OK);
        D3DSURFACE_DESC desc{};
        const std::vector<std::uint32_t> shown = pixels(texture.get(), 0, desc);
        ASSERT_EQ(shown.size(), 32u * 32u);
        if (o == 1)
            expected = shown;
        else
            EXPECT_TRUE(shown == expected) << "differs from the upright photo's texture";
    }
}

} // namespace
