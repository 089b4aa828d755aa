// A Windows metafile, played by GDI into 32-bit pixels on a white ground.
#pragma once

#include "framework/Handles.h"
#include "imaging/Image.h"

#include <cstddef>
#include <cstdint>

namespace d3dx {

class MetafilePicture {
public:
    // The size a metafile without a placeable header is drawn at when the caller leaves the size open.
    static constexpr int kDefaultSide = 256;

    // False for a metafile the system's player must not be given, or one it cannot take.
    bool open(const std::uint8_t* data, std::size_t size);
    // The natural size: the placeable header's box at 96 dpi, else kDefaultSide square.
    int width() const { return m_width; }
    int height() const { return m_height; }

    bool render(int width, int height, imaging::Image& out) const;

private:
    fw::EnhMetafile m_emf;
    int m_width = 0;
    int m_height = 0;
};

} // namespace d3dx
