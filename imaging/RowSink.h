// Where decoders hand their rows, one at a time, so a picture need never be whole in memory.
#pragma once

#include "imaging/Image.h"

#include <cstddef>
#include <cstdint>

namespace imaging {

class RowSink {
public:
    virtual ~RowSink() = default;
    // Before any row: the size of the rows to come and their order (bottomUp: the bottom row first), and
    // what the decoder's own row buffers take. An error refuses the picture before anything is decoded.
    virtual ImageError start(int width, int height, bool bottomUp, std::size_t decoderBytes) = 0;
    // After start: how much more the decoder's library may allocate for itself.
    virtual std::size_t decoderAllowance() const = 0;
    // The next row, width pixels. An error ends the decode with it.
    virtual ImageError row(const std::uint32_t* pixels) = 0;
};

// Collects the rows into a whole picture, top row first.
class ImageSink : public RowSink {
public:
    explicit ImageSink(Image& out) : m_out(out) {}
    ImageError start(int width, int height, bool bottomUp, std::size_t decoderBytes) override;
    std::size_t decoderAllowance() const override;
    ImageError row(const std::uint32_t* pixels) override;

private:
    Image& m_out;
    bool m_bottomUp = false;
    int m_next = 0;
};

} // namespace imaging
