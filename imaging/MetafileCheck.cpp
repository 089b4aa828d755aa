#include "imaging/MetafileCheck.h"

#include "imaging/BmpDecoder.h"
#include "imaging/FormatBytes.h"

namespace imaging {

namespace {

using le::u16;
using le::u32;
using wmf::kHeaderWords;
using wmf::kRecordHeaderWords;

// The parameter words of one record.
struct Params {
    const std::uint8_t* bytes;
    std::uint64_t words;
    std::uint64_t wordsToEnd; // from the first parameter to the end of the data, past the record
    std::uint16_t at(std::uint64_t i) const { return u16(bytes + 2 * i); }
};

// An uncompressed DIB starting at parameter word `first`, entirely inside the record.
bool soundDib(const Params& p, std::uint64_t first) {
    if (first >= p.words)
        return false;
    const std::uint8_t* dib = p.bytes + 2 * first;
    const std::size_t size = static_cast<std::size_t>(2 * (p.words - first));
    if (checkPackedDib(dib, size) != ImageError::None)
        return false;
    // A compressed DIB is read as far as its header's image size says.
    if (u32(dib) == bmp::kCoreHeaderSize)
        return true;
    const std::uint32_t compression = u32(dib + bmp::kCompressionAt);
    return compression != bmp::kRle8 && compression != bmp::kRle4;
}

// Parameter words a record of this kind needs at least; -1 for kinds with counts (checked below) and
// kinds we refuse.
int fixedParams(std::uint16_t function) {
    switch (function) {
    case 0x0000: // end of file
    case 0x001E: // SaveDC
    case 0x0035: // RealizePalette
        return 0;
    case 0x0102: // SetBkMode
    case 0x0103: // SetMapMode
    case 0x0104: // SetROP2
    case 0x0105: // SetRelAbs
    case 0x0106: // SetPolyFillMode
    case 0x0107: // SetStretchBltMode
    case 0x0108: // SetTextCharExtra
    case 0x0127: // RestoreDC
    case 0x012A: // InvertRegion
    case 0x012B: // PaintRegion
    case 0x012C: // SelectClipRegion
    case 0x012D: // SelectObject
    case 0x012E: // SetTextAlign
    case 0x0139: // ResizePalette
    case 0x0234: // SelectPalette
    case 0x01F0: // DeleteObject
        return 1;
    case 0x0149: // SetLayout
    case 0x0201: // SetBkColor
    case 0x0209: // SetTextColor
    case 0x020A: // SetTextJustification
    case 0x020B: // SetWindowOrg
    case 0x020C: // SetWindowExt
    case 0x020D: // SetViewportOrg
    case 0x020E: // SetViewportExt
    case 0x020F: // OffsetWindowOrg
    case 0x0211: // OffsetViewportOrg
    case 0x0213: // LineTo
    case 0x0214: // MoveTo
    case 0x0220: // OffsetClipRgn
    case 0x0228: // FillRegion
    case 0x0231: // SetMapperFlags
        return 2;
    case 0x02FC: // CreateBrushIndirect
    case 0x0410: // ScaleWindowExt
    case 0x0412: // ScaleViewportExt
    case 0x0415: // ExcludeClipRect
    case 0x0416: // IntersectClipRect
    case 0x0418: // Ellipse
    case 0x0419: // FloodFill
    case 0x041B: // Rectangle
    case 0x041F: // SetPixel
    case 0x0429: // FrameRegion
        return 4;
    case 0x02FA: // CreatePenIndirect
    case 0x0548: // ExtFloodFill
        return 5;
    case 0x061C: // RoundRect
    case 0x061D: // PatBlt
        return 6;
    case 0x0817: // Arc
    case 0x081A: // Pie
    case 0x0830: // Chord
        return 8;
    default:
        return -1;
    }
}

// Records that name objects by their place in the player's handle table, which has `objects` places.
bool handlesInTable(std::uint16_t function, const Params& p, unsigned objects) {
    auto inTable = [&](std::uint64_t i) { return p.at(i) < objects; };
    switch (function) {
    case 0x012D: // SelectObject
    case 0x01F0: // DeleteObject
    case 0x012A: // InvertRegion
    case 0x012B: // PaintRegion
        return inTable(0);
    case 0x012C: // SelectClipRegion: 0 means none
        return p.at(0) == 0 || inTable(0);
    case 0x0234: // SelectPalette
        // Its one word is the index, but a player may take the index from the word after it (the next
        // record's size): both must name a place in the table.
        return inTable(0) && p.wordsToEnd > 1 && inTable(1);
    case 0x0228: // FillRegion
        return inTable(0) && inTable(1);
    case 0x0429: // FrameRegion
        return inTable(2) && inTable(3);
    default:
        return true;
    }
}

bool soundRecord(std::uint16_t function, const Params& p, unsigned objects) {
    const int fixed = fixedParams(function);
    if (fixed >= 0)
        return p.words >= std::uint64_t(fixed) && handlesInTable(function, p, objects);
    switch (function) {
    case 0x0324: // Polygon
    case 0x0325: // Polyline
        return p.words >= 1 && p.words >= 1 + 2 * std::uint64_t(p.at(0));
    case 0x0538: { // PolyPolygon: the counts, then the points of every polygon
        if (p.words < 1)
            return false;
        const std::uint64_t polygons = p.at(0);
        if (p.words < 1 + polygons)
            return false;
        std::uint64_t points = 0;
        for (std::uint64_t i = 0; i < polygons; ++i)
            points += p.at(1 + i);
        return p.words >= 1 + polygons + 2 * points;
    }
    case 0x0521: // TextOut: count (taken as signed), characters, y, x
        return p.words >= 1 && p.at(0) < 0x8000 && p.words >= 1 + (std::uint64_t(p.at(0)) + 1) / 2 + 2;
    case 0x0A32: { // ExtTextOut: y, x, count, options, [rectangle], characters
        if (p.words < 4)
            return false;
        const std::uint64_t rectangle = (p.at(3) & 0x0006) ? 4 : 0;
        return p.words >= 4 + rectangle + (std::uint64_t(p.at(2)) + 1) / 2;
    }
    case 0x00F7: // CreatePalette: version, count, entries
    case 0x0037: // SetPalEntries: start, count, entries
    case 0x0436: // AnimatePalette
        return p.words >= 2 && p.words >= 2 + 2 * std::uint64_t(p.at(1));
    case 0x0626: // Escape: function, byte count, data
        return p.words >= 2 && p.words >= 2 + (std::uint64_t(p.at(1)) + 1) / 2;
    case 0x02FB: // CreateFontIndirect: 18 bytes of fields, then a face name copied as 32 bytes
        return p.words >= 9 + 16;
    case 0x0940: // DIBBitBlt: without a DIB in exactly 9 words, else a DIB after 8
        return p.words == 9 || (p.words > 9 && soundDib(p, 8));
    case 0x0B41: // DIBStretchBlt: a DIB after 10 words
        return soundDib(p, 10);
    case 0x0F43: // StretchDIB
        return soundDib(p, 11);
    case 0x0D33: // SetDIBitsToDevice
        return soundDib(p, 9);
    case 0x0142: // DIBCreatePatternBrush: style, usage, DIB
        return soundDib(p, 2);
    default:
        return false;
    }
}

} // namespace

bool isSoundMetafile(const std::uint8_t* data, std::size_t size) {
    if (wmf::hasPlaceableKey(data, size)) {
        data += wmf::kPlaceableHeaderSize;
        size = size >= wmf::kPlaceableHeaderSize ? size - wmf::kPlaceableHeaderSize : 0;
    }
    if (size < 2 * kHeaderWords)
        return false;
    const unsigned type = u16(data);
    if ((type != 1 && type != 2) || u16(data + wmf::kHeaderWordsAt) != kHeaderWords)
        return false;
    const unsigned objects = u16(data + wmf::kObjectsAt);
    std::uint64_t at = 2 * kHeaderWords;
    while (at + 2 * kRecordHeaderWords <= size) {
        const std::uint64_t words = u32(data + at);
        const std::uint16_t function = u16(data + at + 4);
        if (words < kRecordHeaderWords || at + 2 * words > size)
            return false;
        const std::uint64_t first = at + 2 * kRecordHeaderWords;
        if (!soundRecord(function, Params{data + first, words - kRecordHeaderWords, (size - first) / 2}, objects))
            return false;
        if (function == 0)
            return true;
        at += 2 * words;
    }
    // No end record. The player reads a few bytes past the pixels of a DIB, which the end record absorbs.
    return false;
}

} // namespace imaging
