// A folder of hostile "pictures" for the library rebuild and the show: files whose names promise a picture
// and whose bytes do not deliver one (empty, truncated, giant declared sizes, bogus offsets and palette
// counts, renamed text, broken metafiles), a sub-folder named like a picture, names at the path-length
// limit, and a few good pictures among them. Header-only and portable, so the Windows tests write the
// folder in-process and tools/hostile writes it natively.
#pragma once

#include "tests/support/JpegWriter.h"
#include "tests/support/MetafileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace hostile {

using support::Bytes;

// The longest full path the ANSI file functions take (MAX_PATH less the terminating zero).
constexpr std::size_t kPathLimit = 259;
// The longest name of one folder entry.
constexpr std::size_t kNameLimit = 255;
// Larger than any picture file the program reads into memory.
constexpr std::uint64_t kOversizedBytes = std::uint64_t(800) << 20;

struct Entry {
    enum class Kind { File, Folder, Sparse };
    // What the program must make of it: a picture, nothing at all (our own checks refuse it before any
    // decoder runs), or either (a damaged picture some decoder may still fill in).
    enum class Expect { Picture, Refused, Either };
    std::string name;
    Kind kind = Kind::File;
    Bytes bytes;              // File; the start of a Sparse file
    std::uint64_t length = 0; // Sparse: the whole length, mostly a hole
    Expect expect = Expect::Refused;
};

// The fields of a BMP file that the hostile variants bend; the defaults make a good 8 x 8, 24-bit picture.
struct BmpSpec {
    std::int32_t width = 8;
    std::int32_t height = 8;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;          // as the header states it
    std::uint32_t tableEntries = 0;     // as the file holds them
    std::uint32_t masks[3] = {0, 0, 0}; // written behind the header for BI_BITFIELDS
    bool bogusOffset = false;
    std::uint32_t offBits = 0; // with bogusOffset
    bool pixelsGiven = false;
    Bytes pixels; // with pixelsGiven; else whole rows of a gradient
};

inline Bytes bmpFile(const BmpSpec& s) {
    using namespace support;
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 14, 40);
    put32(b, 18, std::uint32_t(s.width));
    put32(b, 22, std::uint32_t(s.height));
    put16(b, 26, s.planes);
    put16(b, 28, s.bitCount);
    put32(b, 30, s.compression);
    put32(b, 46, s.clrUsed);
    if (s.compression == 3)
        for (std::uint32_t mask : s.masks)
            append32(b, mask);
    for (std::uint32_t i = 0; i < s.tableEntries; ++i)
        append32(b, (i * 0x010203u) & 0xFFFFFF);
    put32(b, 10, s.bogusOffset ? s.offBits : std::uint32_t(b.size()));
    if (s.pixelsGiven) {
        b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    } else {
        const std::size_t stride = (std::size_t(s.width) * s.bitCount + 31) / 32 * 4;
        for (std::int32_t y = 0; y < s.height; ++y)
            for (std::size_t x = 0; x < stride; ++x)
                b.push_back(std::uint8_t(x * 7 + std::size_t(y) * 13));
    }
    put32(b, 34, std::uint32_t(b.size() - 54));
    put32(b, 2, std::uint32_t(b.size()));
    return b;
}

// A photograph-like JPEG of libjpeg's making.
inline Bytes jpegFile(int width, int height, bool progressive = false) {
    return support::paintJpeg(width, height, support::cameraJpeg(85, progressive), [&](int x, int y) {
        return std::uint32_t(x * 255 / width) << 16 | std::uint32_t(y * 255 / height) << 8 |
               (std::uint32_t(x ^ y) * 4 & 0xFF);
    });
}

// The same JPEG with the frame header claiming another size; the scan data still holds the old one.
inline Bytes withJpegSize(Bytes jpeg, std::uint16_t width, std::uint16_t height) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = std::uint8_t(height >> 8);
            jpeg[i + 6] = std::uint8_t(height);
            jpeg[i + 7] = std::uint8_t(width >> 8);
            jpeg[i + 8] = std::uint8_t(width);
            break;
        }
    }
    return jpeg;
}

inline Bytes cut(const Bytes& bytes, std::size_t length) {
    return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(std::min(length, bytes.size())));
}

inline Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A 1 x 1 GIF: a picture format the scan does not offer, under a name that does.
inline Bytes gifFile() {
    static const std::uint8_t gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                       0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04,
                                       0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01,
                                       0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    return Bytes(std::begin(gif), std::end(gif));
}

// A name of exactly `length` characters (at most kNameLimit) ending in the extension.
inline std::string nameOfLength(std::size_t length, const std::string& lead, const std::string& extension) {
    length = std::min(length, kNameLimit);
    std::string name = lead;
    if (name.size() + extension.size() < length)
        name.append(length - name.size() - extension.size(), 'n');
    return name + extension;
}

// The hostile folder. folderLength: the length of the folder's full path with its trailing separator, as
// the program will see it, so the long names end exactly at kPathLimit.
inline std::vector<Entry> hostilePictures(std::size_t folderLength) {
    using support::metafile;
    using support::placeable;
    using Kind = Entry::Kind;
    constexpr Entry::Expect picture = Entry::Expect::Picture;
    constexpr Entry::Expect either = Entry::Expect::Either;
    std::vector<Entry> e;
    auto add = [&](std::string name, Bytes bytes, Entry::Expect expect = Entry::Expect::Refused) {
        Entry entry;
        entry.name = std::move(name);
        entry.bytes = std::move(bytes);
        entry.expect = expect;
        e.push_back(std::move(entry));
    };
    const Bytes jpeg = jpegFile(64, 48);
    const Bytes progressive = jpegFile(64, 48, true);

    // Pictures that must survive among the rest.
    add("good.jpg", jpeg, picture);
    add("good.bmp", bmpFile(BmpSpec{}), picture);
    add("wide 16 by 9.JPEG", jpegFile(160, 90), picture);
    add("many.dots.in.name.jpg", progressive, picture);
    add("semi;colon [x] =eq.jpg", jpeg, picture);
    add("percent %s %n %d.bmp", bmpFile(BmpSpec{}), picture);
    // UTF-8, the code page the programs run with.
    add("café ü.jpg", jpeg, picture);
    add(".jpg", jpeg, picture);

    // Nothing, or almost nothing.
    add("empty.jpg", {});
    add("empty.bmp", {});
    add("one byte.dib", {0x42});
    add("only soi.jpeg", {0xFF, 0xD8, 0xFF});

    // Truncated JPEGs.
    add("truncated half.jpg", cut(jpeg, jpeg.size() / 2), either);
    add("truncated header.jpg", cut(jpeg, 20));
    add("truncated progressive.jpg", cut(progressive, progressive.size() * 2 / 3), either);

    // Declared sizes the data cannot hold.
    add("giant 65500.jpg", withJpegSize(jpeg, 65500, 65500));
    add("giant 30000.jpg", withJpegSize(jpeg, 30000, 30000));
    add("giant progressive 11000.jpg", withJpegSize(progressive, 11000, 11000), either);
    {
        BmpSpec s;
        s.width = 30000;
        s.height = 30000;
        s.pixelsGiven = true;
        s.pixels = Bytes(64, 0x80);
        add("giant 30000.bmp", bmpFile(s));
        s.width = 11000;
        s.height = 11000;
        s.bitCount = 8;
        s.tableEntries = 256;
        add("giant 11000 within limit.bmp", bmpFile(s));
        s = BmpSpec{};
        s.width = 0x7FFFFFFF;
        s.height = 1;
        s.pixelsGiven = true;
        s.pixels = Bytes(64, 1);
        add("width int max.bmp", bmpFile(s));
        s.width = 4;
        s.height = std::int32_t(0x80000000u);
        add("height int min.bmp", bmpFile(s));
        s.width = 0;
        s.height = 0;
        add("zero size.bmp", bmpFile(s));
        s.width = 16000;
        s.height = 4000;
        s.bitCount = 32;
        s.pixels = Bytes(100, 0x80);
        add("pixels beyond end.bmp", bmpFile(s));
    }

    // Bogus offsets and colour tables.
    {
        BmpSpec s;
        s.bogusOffset = true;
        s.offBits = 0xFFFFFFF0u;
        add("offset far beyond.bmp", bmpFile(s));
        s.offBits = 0x7FFFFFF0u;
        add("offset beyond.bmp", bmpFile(s));
        s.offBits = 20;
        add("offset inside header.bmp", bmpFile(s));
        s.offBits = 30;
        add("offset inside info.bmp", bmpFile(s));

        s = BmpSpec{};
        s.bitCount = 8;
        s.clrUsed = 0xFFFFFFFFu;
        s.tableEntries = 256;
        add("palette count max.bmp", bmpFile(s));
        s.clrUsed = 1000;
        add("palette count 1000.bmp", bmpFile(s));
        s.clrUsed = 256;
        s.tableEntries = 10;
        s.pixelsGiven = true;
        s.pixels = {};
        add("palette beyond end.bmp", bmpFile(s));
        s = BmpSpec{};
        s.bitCount = 1;
        s.clrUsed = 0x40000000u;
        s.tableEntries = 2;
        add("mono palette count huge.bmp", bmpFile(s));
    }

    // Compressed and masked variants gone wrong.
    {
        BmpSpec s;
        s.bitCount = 8;
        s.compression = 1;
        s.tableEntries = 256;
        s.pixelsGiven = true;
        s.pixels = {0, 2, 255, 255, 0, 2, 255, 255, 0, 0xFF, 1, 2, 3}; // deltas off the canvas, a run past the end
        add("rle runaway.bmp", bmpFile(s), either);
        s.width = 16000;
        s.height = 8000;
        s.pixels = {255, 7, 0, 1};
        add("rle giant.bmp", bmpFile(s));
        Bytes sizeBeyond = bmpFile(s); // the compressed size claims 256 MB
        support::put32(sizeBeyond, 34, 0x10000000u);
        add("rle size beyond end.bmp", sizeBeyond);
        s = BmpSpec{};
        s.bitCount = 32;
        s.compression = 3;
        add("bitfields zero masks.bmp", bmpFile(s), either);
        s.masks[0] = 0xFFFFFFFFu;
        s.masks[1] = 0xFFFFFFFFu;
        s.masks[2] = 0x00F0F0F0u;
        add("bitfields overlapping.bmp", bmpFile(s));
        s = BmpSpec{};
        s.bitCount = 24;
        s.compression = 4; // an embedded JPEG that is not there
        add("embedded jpeg missing.bmp", bmpFile(s));
    }

    // Tall and wide pictures: a few bytes may declare millions of rows or columns.
    {
        BmpSpec s;
        s.bitCount = 8;
        s.compression = 1;
        s.tableEntries = 256;
        s.pixelsGiven = true;
        s.width = 1;
        s.height = 1600000;
        for (int row = 0; row < 370; ++row)
            s.pixels.insert(s.pixels.end(), {1, std::uint8_t(row), 0, 0}); // one pixel, end of line
        s.pixels.insert(s.pixels.end(), {0, 1});
        add("rle tall 1 x 1600000.bmp", bmpFile(s), either);
        s.width = 1600000;
        s.height = 1;
        s.pixels.clear();
        for (int run = 0; run < 740; ++run)
            s.pixels.insert(s.pixels.end(), {255, std::uint8_t(run)});
        s.pixels.insert(s.pixels.end(), {0, 1});
        add("rle wide 1600000 x 1.bmp", bmpFile(s), either);
        s = BmpSpec{};
        s.width = 1;
        s.height = 1000000;
        add("plain tall 1 x 1000000.bmp", bmpFile(s), either);
        s.width = 1000000;
        s.height = 1;
        add("plain wide 1000000 x 1.bmp", bmpFile(s), either);
    }

    // A packed DIB claiming more than it holds.
    {
        Bytes dib(40, 0);
        support::put32(dib, 0, 40);
        support::put32(dib, 4, 100000);
        support::put32(dib, 8, 100000);
        support::put16(dib, 12, 1);
        support::put16(dib, 14, 24);
        dib.resize(200, 0x55);
        add("packed giant.dib", dib);
    }

    // Metafiles: broken records, impossible units.
    add("metafile zero record.wmf", metafile({{0, 0, 0x0201, 0, 0}}, false));
    add("metafile huge record.wmf", metafile({{0xFFFF, 0x7FFF, 0x0201, 0, 0}}, false));
    add("metafile polygon overrun.wmf", metafile({{4, 0, 0x0324, 0x7FFF}}));
    add("metafile text overrun.wmf", metafile({{5, 0, 0x0521, 0x7FFF, 0}}));
    add("placeable zero inch.wmf", placeable(0, 0, 100, 100, 0, metafile({})), either);
    add("placeable inverted.wmf", placeable(100, 100, 0, 0, 1440, metafile({})), either);
    add("placeable huge.wmf", placeable(-32768, -32768, 32767, 32767, 1, metafile({})), either);
    add("placeable header only.wmf", cut(placeable(0, 0, 100, 100, 1440, {}), 22));
    add("placeable polygon overrun.wmf", placeable(0, 0, 100, 100, 1440, metafile({{4, 0, 0x0324, 0x7FFF}})));
    add("placeable text overrun.wmf", placeable(0, 0, 100, 100, 1440, metafile({{5, 0, 0x0521, 0x7FFF, 0}})));
    add("placeable dib overrun.wmf", // a stretched DIB whose header claims 30000 x 30000 pixels
        placeable(0, 0, 100, 100, 1440,
                  metafile({{34, 0,     0x0F43, 0x20, 0xCC, 0, 100, 100, 0, 0, 100, 100, 0, 0, 40, 0, 30000,
                             0,  30000, 0,      1,    24,   0, 0,   0,   0, 0, 0,   0,   0, 0, 0,  0, 0}})));

    // Other files under picture names.
    add("text renamed.jpg", text("This is not a picture.\r\nJust text.\r\n"));
    add("html renamed.bmp", text("<html><body>BM nothing</body></html>"));
    add("text renamed.dib", text("(40 bytes of header would go here)"));
    add("text renamed.wmf", text(std::string("\x01\x00\x09\x00 not quite", 14)));
    add("gif renamed.bmp", gifFile());
    {
        Bytes icon(6 + 16, 0); // an icon directory claiming 65535 images
        support::put16(icon, 2, 1);
        support::put16(icon, 4, 0xFFFF);
        add("icon renamed.bmp", icon);
    }
    add("jpeg named bmp.bmp", jpeg, picture);
    add("bmp named jpeg.jpeg", bmpFile(BmpSpec{}), picture);

    // Names at the path-length limit: one good, one broken. A cache file named after them may not fit.
    const std::size_t room = folderLength < kPathLimit ? kPathLimit - folderLength : 0;
    if (room >= 16) {
        add(nameOfLength(room, "long good ", ".jpg"), jpeg, picture);
        add(nameOfLength(room, "long broken ", ".bmp"), cut(bmpFile(BmpSpec{}), 40));
    }

    // A folder named like a picture, and a file too large to read.
    Entry folder;
    folder.name = "x.jpg";
    folder.kind = Kind::Folder;
    e.push_back(folder);
    folder.name = "album.BMP";
    e.push_back(folder);
    Entry sparse;
    sparse.name = "oversized.jpg";
    sparse.kind = Kind::Sparse;
    sparse.bytes = cut(jpeg, 600);
    sparse.length = kOversizedBytes;
    e.push_back(sparse);
    return e;
}

inline bool makeFolder(const std::string& path) {
#ifdef _WIN32
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
#else
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
#endif
}

inline bool writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool whole = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && whole;
}

// The start written, the rest a hole where the file system allows.
inline bool writeSparse(const std::string& path, const Bytes& start, std::uint64_t length) {
    if (!writeFile(path, start))
        return false;
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(length);
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return sized;
#else
    return truncate(path.c_str(), static_cast<off_t>(length)) == 0;
#endif
}

// folder ends with the separator. Returns the names that could not be written (none, normally).
inline std::vector<std::string> writeEntries(const std::string& folder, const std::vector<Entry>& entries) {
    std::vector<std::string> failed;
    for (const Entry& entry : entries) {
        const std::string path = folder + entry.name;
        bool ok = false;
        switch (entry.kind) {
        case Entry::Kind::File:
            ok = writeFile(path, entry.bytes);
            break;
        case Entry::Kind::Folder:
            ok = makeFolder(path);
            break;
        case Entry::Kind::Sparse:
            ok = writeSparse(path, entry.bytes, entry.length);
            break;
        }
        if (!ok)
            failed.push_back(entry.name);
    }
    return failed;
}

// A crowded folder: `files` entries of which `pictures` are small JPEGs; the rest are files the scan must
// pass over (other extensions, no extension, picture extensions in the middle of the name). Returns how
// many files could not be written.
inline int writeCrowdedFolder(const std::string& folder, int files, int pictures) {
    static const char* const kOther[] = {".txt", ".dat", ".png", ".gif", ".jpe", ".jpg.txt", "", ".bmpx", ".tif"};
    const Bytes jpeg = jpegFile(64, 48);
    const Bytes filler = text("filler\r\n");
    int failed = 0;
    const int step = pictures > 0 ? files / pictures : files + 1;
    for (int i = 0; i < files; ++i) {
        char name[64];
        const bool picture = pictures > 0 && i % step == 0 && i / step < pictures;
        if (picture)
            std::snprintf(name, sizeof name, "picture %05d.jpg", i);
        else
            std::snprintf(name, sizeof name, "file %05d%s", i, kOther[i % (sizeof kOther / sizeof *kOther)]);
        failed += !writeFile(folder + name, picture ? jpeg : filler);
    }
    return failed;
}

} // namespace hostile
