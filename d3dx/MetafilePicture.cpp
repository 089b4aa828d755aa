#include "d3dx/MetafilePicture.h"

#include "imaging/FormatBytes.h"
#include "imaging/MetafileCheck.h"

#include <algorithm>

namespace d3dx {

namespace wmf = imaging::wmf;

bool MetafilePicture::open(const std::uint8_t* data, std::size_t size) {
    m_emf.reset();
    // The system's metafile player believes every count in the records.
    if (!imaging::isSoundMetafile(data, size))
        return false;
    if (wmf::hasPlaceableKey(data, size) && size >= wmf::kPlaceableHeaderSize) {
        using imaging::le::s16;
        const int inch = imaging::le::u16(data + wmf::kInchAt);
        const int width = s16(data + wmf::kRightAt) - s16(data + wmf::kLeftAt);
        const int height = s16(data + wmf::kBottomAt) - s16(data + wmf::kTopAt);
        if (inch <= 0 || width <= 0 || height <= 0)
            return false;
        METAFILEPICT picture{MM_ANISOTROPIC, width * 2540 / inch, height * 2540 / inch, nullptr};
        m_emf.reset(SetWinMetaFileBits(static_cast<UINT>(size - wmf::kPlaceableHeaderSize),
                                       data + wmf::kPlaceableHeaderSize, nullptr, &picture));
        m_width = std::max(1, width * 96 / inch);
        m_height = std::max(1, height * 96 / inch);
    } else {
        m_emf.reset(SetWinMetaFileBits(static_cast<UINT>(size), data, nullptr, nullptr));
        m_width = m_height = kDefaultSide;
    }
    return bool(m_emf);
}

bool MetafilePicture::render(int width, int height, imaging::Image& out) const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down, like our images
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    fw::MemoryDC memory(CreateCompatibleDC(nullptr));
    if (!bitmap || !bits || !memory)
        return false;
    {
        fw::SelectObjectScope select(memory.get(), bitmap.get());
        RECT rect{0, 0, width, height};
        (void)FillRect(memory.get(), &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (!PlayEnhMetaFile(memory.get(), m_emf.get(), &rect))
            return false;
        (void)GdiFlush();
    }
    out.width = width;
    out.height = height;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    out.pixels.assign(pixels, pixels + std::size_t(width) * height);
    for (std::uint32_t& p : out.pixels)
        p |= 0xFF000000u;
    return true;
}

} // namespace d3dx
