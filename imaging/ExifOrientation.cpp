#include "imaging/ExifOrientation.h"

#include <cstring>
#include <utility>

namespace imaging {

namespace {

constexpr unsigned kOrientationTag = 0x0112;
constexpr unsigned kShortType = 3;

// A TIFF structure in either byte order, every read checked against its end.
class Tiff {
public:
    Tiff(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool readOrder() {
        if (m_size < 8)
            return false;
        if (m_data[0] == 'I' && m_data[1] == 'I')
            m_bigEndian = false;
        else if (m_data[0] == 'M' && m_data[1] == 'M')
            m_bigEndian = true;
        else
            return false;
        return u16(2) == 42;
    }
    bool holds(std::uint64_t at, std::uint64_t bytes) const { return at <= m_size && bytes <= m_size - at; }
    unsigned u16(std::size_t at) const {
        const std::uint8_t* p = m_data + at;
        return m_bigEndian ? (unsigned(p[0]) << 8 | p[1]) : (unsigned(p[1]) << 8 | p[0]);
    }
    std::uint32_t u32(std::size_t at) const {
        return m_bigEndian ? (std::uint32_t(u16(at)) << 16 | u16(at + 2))
                           : (std::uint32_t(u16(at + 2)) << 16 | u16(at));
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    bool m_bigEndian = false;
};

// IFD0 only: the orientation belongs to the main picture, and no offset chain is followed.
int orientationInTiff(const std::uint8_t* data, std::size_t size) {
    Tiff tiff(data, size);
    if (!tiff.readOrder())
        return 1;
    const std::uint64_t ifd = tiff.u32(4);
    if (!tiff.holds(ifd, 2))
        return 1;
    const unsigned count = tiff.u16(std::size_t(ifd));
    for (unsigned i = 0; i < count; ++i) {
        const std::uint64_t entry = ifd + 2 + 12 * std::uint64_t(i);
        if (!tiff.holds(entry, 12))
            return 1;
        if (tiff.u16(std::size_t(entry)) != kOrientationTag)
            continue;
        if (tiff.u16(std::size_t(entry) + 2) != kShortType || tiff.u32(std::size_t(entry) + 4) != 1)
            return 1;
        const unsigned value = tiff.u16(std::size_t(entry) + 8);
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

} // namespace

int readExifOrientation(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return 1;
    std::size_t pos = 2;
    while (pos + 2 <= size) {
        if (data[pos] != 0xFF)
            return 1;
        const unsigned marker = data[pos + 1];
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        pos += 2;
        if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // no length field
        if (marker == 0xDA || marker == 0xD9 || pos + 2 > size)
            return 1;
        const std::size_t length = std::size_t(data[pos]) << 8 | data[pos + 1];
        if (length < 2 || length > size - pos)
            return 1;
        if (marker == 0xE1 && length >= 2 + sizeof kExif && std::memcmp(data + pos + 2, kExif, sizeof kExif) == 0)
            return orientationInTiff(data + pos + 2 + sizeof kExif, length - 2 - sizeof kExif);
        pos += length;
    }
    return 1;
}

Image orientImage(Image stored, int orientation) {
    if (orientation < 2 || orientation > 8)
        return stored;
    Image upright;
    const bool swap = swapsSides(orientation);
    upright.width = swap ? stored.height : stored.width;
    upright.height = swap ? stored.width : stored.height;
    upright.pixels.resize(stored.pixels.size());
    for (int y = 0; y < stored.height; ++y)
        for (int x = 0; x < stored.width; ++x) {
            int ux = 0, uy = 0;
            uprightPosition(orientation, stored.width, stored.height, x, y, ux, uy);
            upright.pixels[std::size_t(uy) * upright.width + ux] = stored.at(x, y);
        }
    return upright;
}

} // namespace imaging
