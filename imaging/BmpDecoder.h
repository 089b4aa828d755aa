// BMP files and packed DIBs (bitmap resources, headerless .dib files), decoded without any window code.
#pragma once

#include "imaging/Image.h"
#include "imaging/RowSink.h"
#include "imaging/StopSignal.h"

#include <cstddef>
#include <cstdint>

namespace imaging {

// What the header said, for callers that report the source format.
struct BmpDetails {
    int bitsPerPixel = 0;
    int width = 0; // as the header says
    int height = 0;
};

// A whole BMP file: the 14-byte file header, the bitmap header, then the pixels at bfOffBits.
ImageError decodeBmpFile(const std::uint8_t* data, std::size_t size, Image& out, BmpDetails* details = nullptr,
                         const StopSignal* stop = nullptr);
// The same, its rows handed to sink in file order as they are decoded.
ImageError decodeBmpRows(const std::uint8_t* data, std::size_t size, RowSink& sink, BmpDetails* details = nullptr,
                         const StopSignal* stop = nullptr);

// The checks of decodeBmpFile without the decoding: None when the header is sound and every pixel it
// promises lies inside the data, so another reader may be given the bytes.
ImageError checkBmpFile(const std::uint8_t* data, std::size_t size, BmpDetails* details = nullptr);

// A packed DIB: bitmap header, colour masks and colour table, the pixels right behind them.
ImageError decodePackedDib(const std::uint8_t* data, std::size_t size, Image& out, BmpDetails* details = nullptr,
                           const StopSignal* stop = nullptr);
ImageError decodePackedDibRows(const std::uint8_t* data, std::size_t size, RowSink& sink, BmpDetails* details = nullptr,
                               const StopSignal* stop = nullptr);

// The checks of decodePackedDib without the decoding.
ImageError checkPackedDib(const std::uint8_t* data, std::size_t size, BmpDetails* details = nullptr);

bool looksLikeBmpFile(const std::uint8_t* data, std::size_t size);
// True when the data starts with a bitmap header of a known size and one plane.
bool looksLikePackedDib(const std::uint8_t* data, std::size_t size);

} // namespace imaging
