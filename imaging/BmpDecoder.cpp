#include "imaging/BmpDecoder.h"

#include "imaging/FormatBytes.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace imaging {

namespace {

using bmp::kCoreHeaderSize;
using bmp::kFileHeaderSize;
using le::u16;
using le::u32;

constexpr std::uint64_t kMaxRlePixelsPerByte = 4096;

bool knownHeaderSize(std::uint32_t size) {
    return size == kCoreHeaderSize || size == bmp::kInfoHeaderSize || size == 52 || size == 56 || size == 108 ||
           size == 124;
}

// One colour channel held under a bit mask: where it sits and how to widen it to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0; // mask >> shift

    bool set(std::uint32_t m) {
        mask = m;
        shift = 0;
        max = 0;
        if (m == 0)
            return true;
        while (!((m >> shift) & 1))
            ++shift;
        max = m >> shift;
        return (max & (max + 1)) == 0; // contiguous bits only
    }
    unsigned read(std::uint32_t value) const {
        if (max == 0)
            return 0;
        std::uint32_t v = (value & mask) >> shift;
        if (max >= 255) {
            int extra = 0;
            while ((max >> extra) > 255)
                ++extra;
            return v >> extra;
        }
        return (v * 255 + max / 2) / max;
    }
};

struct Header {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // always positive here
    bool topDown = false;
    unsigned bitCount = 0;
    std::uint32_t compression = bmp::kRgb;
    std::uint32_t sizeImage = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    std::size_t maskBytesAfterHeader = 0; // masks stored behind a BITMAPINFOHEADER
};

ImageError readHeader(const std::uint8_t* dib, std::size_t available, Header& h) {
    if (available < 4)
        return ImageError::Truncated;
    h.headerSize = u32(dib);
    if (!knownHeaderSize(h.headerSize))
        return ImageError::BadHeader;
    if (h.headerSize > available)
        return ImageError::Truncated;

    unsigned planes = 0;
    if (h.headerSize == kCoreHeaderSize) {
        h.width = u16(dib + bmp::kCoreWidthAt);
        h.height = u16(dib + bmp::kCoreHeightAt);
        planes = u16(dib + bmp::kCorePlanesAt);
        h.bitCount = u16(dib + bmp::kCoreBitCountAt);
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 24)
            return ImageError::BadHeader;
    } else {
        h.width = static_cast<std::int32_t>(u32(dib + bmp::kWidthAt));
        std::int64_t height = static_cast<std::int32_t>(u32(dib + bmp::kHeightAt));
        h.topDown = height < 0;
        h.height = h.topDown ? -height : height;
        planes = u16(dib + bmp::kPlanesAt);
        h.bitCount = u16(dib + bmp::kBitCountAt);
        h.compression = u32(dib + bmp::kCompressionAt);
        h.sizeImage = u32(dib + bmp::kSizeImageAt);
        h.clrUsed = u32(dib + bmp::kClrUsedAt);
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 &&
            h.bitCount != 32)
            return ImageError::BadHeader;
    }
    if (planes != 1 || h.width <= 0 || h.height <= 0)
        return ImageError::BadHeader;

    switch (h.compression) {
    case bmp::kRgb:
        break;
    case bmp::kRle8:
    case bmp::kRle4:
        if (h.bitCount != (h.compression == bmp::kRle8 ? 8u : 4u) || h.topDown)
            return ImageError::BadHeader;
        break;
    case bmp::kBitfields:
        if (h.bitCount != 16 && h.bitCount != 32)
            return ImageError::BadHeader;
        if (h.headerSize == bmp::kInfoHeaderSize) {
            h.maskBytesAfterHeader = bmp::kMaskBytes;
            if (available < bmp::kMasksAt + bmp::kMaskBytes)
                return ImageError::Truncated;
        }
        for (int i = 0; i < 3; ++i)
            h.masks[i] = u32(dib + bmp::kMasksAt + 4 * i);
        if (h.headerSize >= bmp::kAlphaMaskHeaderSize)
            h.masks[3] = u32(dib + bmp::kAlphaMaskAt);
        break;
    default:
        return ImageError::Unsupported; // embedded JPEG or PNG, CMYK, alpha bit fields
    }

    if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) > kMaxImagePixels)
        return ImageError::TooLarge;
    return ImageError::None;
}

using Palette = std::array<std::uint32_t, 256>;

bool stopped(const StopSignal* stop) {
    return stop && stop->stopRequested();
}

// Runs are drawn into one row at a time: they only ever move right and up, so a row is done once the
// stream leaves it, and the rows it skips are black.
ImageError decodeRle(const Header& h, const Palette& palette, const std::uint8_t* data, std::size_t size, RowSink& sink,
                     const StopSignal* stop) {
    constexpr unsigned kRunsPerPoll = 4096;
    const std::size_t width = static_cast<std::size_t>(h.width);
    std::vector<std::uint32_t> line;
    try {
        line.assign(width, packRgb(0, 0, 0));
    } catch (const std::bad_alloc&) {
        return ImageError::OutOfMemory;
    }
    const bool four = h.compression == bmp::kRle4;
    std::int64_t x = 0;
    std::int64_t y = 0;         // counted from the bottom row
    std::int64_t delivered = 0; // rows handed on; the row being drawn is row y == delivered
    auto deliverUpTo = [&](std::int64_t target) {
        for (target = std::min(target, h.height); delivered < target; ++delivered) {
            if (stopped(stop))
                return ImageError::Cancelled;
            if (ImageError e = sink.row(line.data()); e != ImageError::None)
                return e;
            std::fill(line.begin(), line.end(), packRgb(0, 0, 0));
        }
        return ImageError::None;
    };
    auto put = [&](unsigned index) {
        if (x < h.width)
            line[static_cast<std::size_t>(x)] = palette[index];
        ++x;
    };
    std::size_t pos = 0;
    unsigned runs = 0;
    while (pos + 2 <= size && y < h.height) {
        if (++runs % kRunsPerPoll == 0 && stopped(stop))
            return ImageError::Cancelled;
        unsigned count = data[pos];
        unsigned value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < h.width; ++i)
                put(four ? ((i & 1) ? (value & 15) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (pos + 2 > size)
                return ImageError::Truncated;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else { // absolute run, padded to a whole number of 16-bit words
            std::size_t bytes = four ? (value + 1) / 2 : value;
            if (pos + bytes > size)
                return ImageError::Truncated;
            for (unsigned i = 0; i < value; ++i)
                put(four ? ((i & 1) ? (data[pos + i / 2] & 15) : (data[pos + i / 2] >> 4)) : data[pos + i]);
            pos += bytes + (bytes & 1);
        }
        if (ImageError e = deliverUpTo(y); e != ImageError::None)
            return e;
    }
    return deliverUpTo(h.height);
}

// The colour table: needed up to 8 bits per pixel; larger depths may carry one (the picture cache writes
// 65,536 entries ahead of 16-bit pixels) that is only stepped over. Settles where the pixels start.
ImageError readPalette(const std::uint8_t* dib, std::size_t size, const Header& h, std::uint64_t& pixelOffset,
                       Palette& palette) {
    const bool packed = pixelOffset == 0;
    const std::uint64_t paletteOffset = std::uint64_t(h.headerSize) + h.maskBytesAfterHeader;
    const std::uint64_t entrySize = h.headerSize == kCoreHeaderSize ? 3 : 4;
    std::uint64_t declared = h.clrUsed;
    std::uint64_t used = 0;
    if (h.bitCount <= 8) {
        const std::uint64_t full = std::uint64_t(1) << h.bitCount;
        if (declared > full)
            return ImageError::BadHeader;
        used = declared ? declared : full;
        if (!packed && !declared && paletteOffset + used * entrySize > pixelOffset && pixelOffset >= paletteOffset)
            used = (pixelOffset - paletteOffset) / entrySize; // a short table that the file offset admits
        declared = used;
    }
    const std::uint64_t tableEnd = paletteOffset + declared * entrySize;
    if (packed)
        pixelOffset = tableEnd;
    if (pixelOffset < tableEnd)
        return ImageError::BadHeader;
    if (pixelOffset > size)
        return packed ? ImageError::Truncated : ImageError::BadHeader;

    palette.fill(packRgb(0, 0, 0));
    for (std::uint64_t i = 0; i < used; ++i) {
        const std::uint8_t* e = dib + paletteOffset + i * entrySize;
        palette[i] = packRgb(e[2], e[1], e[0]);
    }
    return ImageError::None;
}

ImageError decodeRleDib(const Header& h, const Palette& palette, const std::uint8_t* pixels, std::size_t available,
                        RowSink* sink, const StopSignal* stop) {
    if (h.sizeImage != 0 && h.sizeImage < available)
        available = h.sizeImage;
    // Runs of 255 pixels in two bytes each describe about 128 pixels per byte; a header claiming
    // far more than that from a few bytes would only make us allocate and filter an empty canvas.
    if (std::uint64_t(h.width) * std::uint64_t(h.height) > kMaxRlePixelsPerByte * std::uint64_t(available))
        return ImageError::TooLarge;
    if (!sink)
        return ImageError::None;
    if (ImageError e = sink->start(int(h.width), int(h.height), true, std::size_t(h.width) * 4); e != ImageError::None)
        return e;
    return decodeRle(h, palette, pixels, available, *sink, stop);
}

// Where each colour sits in a 16- or 32-bit pixel: the header's bit fields, else the fixed layouts.
ImageError readChannels(const Header& h, Channel (&channels)[4], bool& useAlpha) {
    useAlpha = false;
    if (h.compression == bmp::kBitfields) {
        for (int i = 0; i < 4; ++i)
            if (!channels[i].set(h.masks[i]))
                return ImageError::BadHeader;
        if (h.bitCount == 16 && ((h.masks[0] | h.masks[1] | h.masks[2] | h.masks[3]) >> 16) != 0)
            return ImageError::BadHeader;
        useAlpha = h.masks[3] != 0;
    } else if (h.bitCount == 16) {
        channels[0].set(0x7C00);
        channels[1].set(0x03E0);
        channels[2].set(0x001F);
    } else if (h.bitCount == 32) {
        channels[0].set(0x00FF0000);
        channels[1].set(0x0000FF00);
        channels[2].set(0x000000FF);
    }
    return ImageError::None;
}

// The pixels of one stored row as ours.
void convertRow(const Header& h, const Palette& palette, const Channel (&channels)[4], bool useAlpha,
                const std::uint8_t* src, std::uint32_t* dst) {
    const std::size_t width = static_cast<std::size_t>(h.width);
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8: {
        const unsigned bits = h.bitCount;
        const unsigned perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1;
        for (std::size_t x = 0; x < width; ++x) {
            unsigned byte = src[x / perByte];
            unsigned shift = 8 - bits * (unsigned(x % perByte) + 1);
            dst[x] = palette[(byte >> shift) & mask];
        }
        break;
    }
    case 24:
        for (std::size_t x = 0; x < width; ++x)
            dst[x] = packRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
        break;
    case 16:
    case 32: {
        const bool wide = h.bitCount == 32;
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t v = wide ? u32(src + 4 * x) : u16(src + 2 * x);
            dst[x] = packRgb(channels[0].read(v), channels[1].read(v), channels[2].read(v),
                             useAlpha ? channels[3].read(v) : 255);
        }
        break;
    }
    }
}

ImageError decodeUncompressedDib(const Header& h, const Palette& palette, const std::uint8_t* pixels,
                                 std::size_t available, RowSink* sink, const StopSignal* stop) {
    const std::uint64_t rowBits = std::uint64_t(h.width) * h.bitCount;
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    const std::uint64_t needed = stride * std::uint64_t(h.height - 1) + (rowBits + 7) / 8;
    if (needed > available)
        return ImageError::Truncated;
    Channel channels[4];
    bool useAlpha = false;
    if (ImageError e = readChannels(h, channels, useAlpha); e != ImageError::None)
        return e;
    if (!sink)
        return ImageError::None;

    const std::size_t width = static_cast<std::size_t>(h.width);
    if (ImageError e = sink->start(int(h.width), int(h.height), !h.topDown, width * 4); e != ImageError::None)
        return e;
    std::vector<std::uint32_t> line;
    try {
        line.resize(width);
    } catch (const std::bad_alloc&) {
        return ImageError::OutOfMemory;
    }
    for (std::int64_t row = 0; row < h.height; ++row) {
        if (stopped(stop))
            return ImageError::Cancelled;
        convertRow(h, palette, channels, useAlpha, pixels + static_cast<std::size_t>(row) * stride, line.data());
        if (ImageError e = sink->row(line.data()); e != ImageError::None)
            return e;
    }
    return ImageError::None;
}

// dib: the bitmap header onwards. pixelOffset: where the pixels start, counted from dib; zero for a
// packed DIB, where they follow the colour table. Without a sink, stops after the checks, before any
// allocation.
ImageError decodeDib(const std::uint8_t* dib, std::size_t size, std::uint64_t pixelOffset, RowSink* sink,
                     BmpDetails* details, const StopSignal* stop) {
    Header h;
    if (ImageError e = readHeader(dib, size, h); e != ImageError::None)
        return e;
    if (details) {
        details->bitsPerPixel = static_cast<int>(h.bitCount);
        details->width = static_cast<int>(h.width);
        details->height = static_cast<int>(h.height);
    }
    Palette palette;
    if (ImageError e = readPalette(dib, size, h, pixelOffset, palette); e != ImageError::None)
        return e;
    const std::uint8_t* pixels = dib + pixelOffset;
    const std::size_t available = size - static_cast<std::size_t>(pixelOffset);
    if (h.compression == bmp::kRle8 || h.compression == bmp::kRle4)
        return decodeRleDib(h, palette, pixels, available, sink, stop);
    return decodeUncompressedDib(h, palette, pixels, available, sink, stop);
}

} // namespace

bool looksLikeBmpFile(const std::uint8_t* data, std::size_t size) {
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

bool looksLikePackedDib(const std::uint8_t* data, std::size_t size) {
    if (size < 16)
        return false;
    std::uint32_t headerSize = u32(data);
    if (!knownHeaderSize(headerSize))
        return false;
    return u16(data + (headerSize == kCoreHeaderSize ? bmp::kCorePlanesAt : bmp::kPlanesAt)) == 1;
}

namespace {

// The file header, then the bitmap header and pixels it points at; without a sink, the checks alone.
ImageError readBmpFile(const std::uint8_t* data, std::size_t size, RowSink* sink, BmpDetails* details,
                       const StopSignal* stop) {
    if (size == 0)
        return ImageError::Empty;
    if (!looksLikeBmpFile(data, size))
        return ImageError::UnknownFormat;
    if (size < kFileHeaderSize + 4)
        return ImageError::Truncated;
    std::uint32_t offBits = u32(data + bmp::kPixelOffsetAt);
    if (offBits < kFileHeaderSize + kCoreHeaderSize)
        return ImageError::BadHeader;
    return decodeDib(data + kFileHeaderSize, size - kFileHeaderSize, offBits - kFileHeaderSize, sink, details, stop);
}

ImageError readPackedDib(const std::uint8_t* data, std::size_t size, RowSink* sink, BmpDetails* details,
                         const StopSignal* stop) {
    if (size == 0)
        return ImageError::Empty;
    return decodeDib(data, size, 0, sink, details, stop);
}

ImageError wholeImage(ImageError error, Image& out) {
    if (error != ImageError::None)
        out = Image{};
    return error;
}

} // namespace

ImageError decodeBmpFile(const std::uint8_t* data, std::size_t size, Image& out, BmpDetails* details,
                         const StopSignal* stop) {
    out = Image{};
    ImageSink sink(out);
    return wholeImage(readBmpFile(data, size, &sink, details, stop), out);
}

ImageError decodeBmpRows(const std::uint8_t* data, std::size_t size, RowSink& sink, BmpDetails* details,
                         const StopSignal* stop) {
    return readBmpFile(data, size, &sink, details, stop);
}

ImageError checkBmpFile(const std::uint8_t* data, std::size_t size, BmpDetails* details) {
    return readBmpFile(data, size, nullptr, details, nullptr);
}

ImageError decodePackedDib(const std::uint8_t* data, std::size_t size, Image& out, BmpDetails* details,
                           const StopSignal* stop) {
    out = Image{};
    ImageSink sink(out);
    return wholeImage(readPackedDib(data, size, &sink, details, stop), out);
}

ImageError decodePackedDibRows(const std::uint8_t* data, std::size_t size, RowSink& sink, BmpDetails* details,
                               const StopSignal* stop) {
    return readPackedDib(data, size, &sink, details, stop);
}

ImageError checkPackedDib(const std::uint8_t* data, std::size_t size, BmpDetails* details) {
    return readPackedDib(data, size, nullptr, details, nullptr);
}

} // namespace imaging
