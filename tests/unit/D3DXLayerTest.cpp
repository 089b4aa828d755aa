// Our Direct3D utility layer's portable parts: result names, the device-error text, texture sides.
#include "d3dx/D3DResultNames.h"
#include "d3dx/TextureSizing.h"
#include "engine/EngineTexts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(D3DXLayer, ResultNamesCoverDirect3D8AndD3DX8) {
    struct Case {
        std::uint32_t code;
        const char* name;
    } cases[] = {
        {0, "S_OK"},
        {0x8876086Au, "D3DERR_NOTAVAILABLE"}, // the one mingw's dxerr8 calls "Unknown"
        {0x8876086Cu, "D3DERR_INVALIDCALL"},
        {0x88760868u, "D3DERR_DEVICELOST"},
        {0x88760869u, "D3DERR_DEVICENOTRESET"},
        {0x8876017Cu, "D3DERR_OUTOFVIDEOMEMORY"},
        {0x8876086Bu, "D3DERR_INVALIDDEVICE"},
        {0x88760818u, "D3DERR_WRONGTEXTUREFORMAT"},
        {0x88760827u, "D3DERR_DRIVERINTERNALERROR"},
        {0x8876086Du, "D3DERR_DRIVERINVALIDCALL"},
        {0x88760B59u, "D3DXERR_INVALIDDATA"},
        {0x88760B54u, "D3DXERR_CANNOTMODIFYINDEXBUFFER"},
        {0x8007000Eu, "E_OUTOFMEMORY"},
        {0x80070057u, "E_INVALIDARG"},
        {0x80004005u, "E_FAIL"},
        {0x80070002u, "ERROR_FILE_NOT_FOUND"},
        {0x12345678u, "Unknown"},
        {0x88760000u, "Unknown"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(d3dResultName(static_cast<std::int32_t>(c.code)), c.name) << std::hex << c.code;
}

TEST(D3DXLayer, DeviceErrorTextStaysInsideItsBuffer) {
    char buffer[engine::kMessageBufferSize];
    engine::formatDeviceError(buffer, "D3DERR_NOTAVAILABLE");
    EXPECT_STREQ(buffer, "DirectX error opening device: D3DERR_NOTAVAILABLE");
    engine::appendSoftwareFailed(buffer);
    EXPECT_STREQ(buffer, "DirectX error opening device: D3DERR_NOTAVAILABLE. Software acceleration failed as well.");

    // A name far longer than the buffer: cut, terminated, and the addition finds no room.
    std::string longName(1000, 'X');
    std::memset(buffer, '?', sizeof buffer);
    engine::formatDeviceError(buffer, longName.c_str());
    EXPECT_EQ(std::strlen(buffer), engine::kMessageBufferSize - 1);
    engine::appendSoftwareFailed(buffer);
    EXPECT_EQ(std::strlen(buffer), engine::kMessageBufferSize - 1);
    EXPECT_EQ(buffer[engine::kMessageBufferSize - 2], 'X');

    // Room for part of the addition only.
    std::string nearlyFull(engine::kMessageBufferSize - 50, 'Y');
    engine::formatDeviceError(buffer, nearlyFull.c_str());
    engine::appendSoftwareFailed(buffer);
    EXPECT_EQ(std::strlen(buffer), engine::kMessageBufferSize - 1);
    EXPECT_EQ(std::string(buffer).substr(std::strlen("DirectX error opening device: ") + nearlyFull.size(), 19),
              ". Software accelera");
}

TEST(D3DXLayer, TextureSidesAreFittedToTheDeviceAsTheUtilityLibraryFitsThem) {
    const d3dx::TextureLimits anySize{2048, false};
    const d3dx::TextureLimits powersOnly{2048, true};
    struct Case {
        unsigned requested;
        unsigned anySide;
        unsigned powerSide;
    } cases[] = {
        {256, 256, 256},
        {300, 300, 512},
        {1, 1, 1},
        {3, 3, 4},
        {1025, 1025, 2048},
        {2048, 2048, 2048},
        {2049, 2048, 2048},
        {100000, 2048, 2048},
        {0, 0, 0},
        {unsigned(-256), 0, 0},
        {unsigned(-1) >> 1, 2048, 2048},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(d3dx::textureSideFor(c.requested, anySize), c.anySide) << c.requested;
        EXPECT_EQ(d3dx::textureSideFor(c.requested, powersOnly), c.powerSide) << c.requested;
    }
    // A power-of-two device whose largest side is not one stays below it.
    EXPECT_EQ(d3dx::textureSideFor(3000, d3dx::TextureLimits{3000, true}), 2048u);
    EXPECT_EQ(d3dx::textureSideFor(3000, d3dx::TextureLimits{3000, false}), 3000u);
}

} // namespace
