#include "imaging/RowSink.h"

#include <algorithm>
#include <new>

namespace imaging {

namespace {

// A whole decode keeps the whole picture anyway; the library's share only stops absurd progressive files.
constexpr std::size_t kWholeDecodeAllowance = std::size_t(512) << 20;

} // namespace

ImageError ImageSink::start(int width, int height, bool bottomUp, std::size_t) {
    m_out = Image{};
    if (width <= 0 || height <= 0)
        return ImageError::BadHeader;
    if (std::uint64_t(width) * std::uint64_t(height) > kMaxImagePixels)
        return ImageError::TooLarge;
    try {
        m_out.pixels.resize(std::size_t(width) * std::size_t(height));
    } catch (const std::bad_alloc&) {
        return ImageError::OutOfMemory;
    }
    m_out.width = width;
    m_out.height = height;
    m_bottomUp = bottomUp;
    m_next = 0;
    return ImageError::None;
}

std::size_t ImageSink::decoderAllowance() const {
    return kWholeDecodeAllowance;
}

ImageError ImageSink::row(const std::uint32_t* pixels) {
    if (m_next >= m_out.height)
        return ImageError::Corrupt;
    const int y = m_bottomUp ? m_out.height - 1 - m_next : m_next;
    std::copy(pixels, pixels + m_out.width, m_out.pixels.begin() + std::ptrdiff_t(y) * m_out.width);
    ++m_next;
    return ImageError::None;
}

} // namespace imaging
