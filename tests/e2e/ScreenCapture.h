// Pictures of the screen for end-to-end checks of what a window shows, and an uncompressed PNG writer
// for the screenshots a person looks at after a run.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace e2e {

// 0x00RRGGBB pixels, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    size_t countNot(std::uint32_t colour) const {
        return static_cast<size_t>(
            std::count_if(pixels.begin(), pixels.end(), [&](std::uint32_t p) { return p != colour; }));
    }
    size_t countOf(std::uint32_t colour) const { return pixels.size() - countNot(colour); }
    // Pixels that differ from another picture of the same size.
    size_t differences(const Picture& other) const {
        size_t count = 0;
        for (size_t i = 0; i < pixels.size() && i < other.pixels.size(); ++i)
            count += pixels[i] != other.pixels[i];
        return count;
    }
};

// Copies a rectangle of what a device context shows.
inline Picture captureDC(HDC source, const RECT& r) {
    Picture shot;
    shot.width = r.right - r.left;
    shot.height = r.bottom - r.top;
    if (shot.width <= 0 || shot.height <= 0)
        return Picture{};
    shot.pixels.assign(static_cast<size_t>(shot.width) * shot.height, 0);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, shot.width, shot.height, source, r.left, r.top, SRCCOPY);
        GdiFlush();
        std::memcpy(shot.pixels.data(), bits, shot.pixels.size() * 4);
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    for (auto& p : shot.pixels)
        p &= 0xFFFFFF;
    return shot;
}

// What the screen shows inside a rectangle, other programs' windows and Direct3D output included.
inline Picture captureScreen(const RECT& r) {
    HDC screen = GetDC(nullptr);
    Picture shot = captureDC(screen, r);
    ReleaseDC(nullptr, screen);
    return shot;
}

namespace png_detail {
inline std::uint32_t crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}
inline void putBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}
inline void chunk(std::vector<std::uint8_t>& file, const char* type, const std::vector<std::uint8_t>& data) {
    putBig32(file, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    file.insert(file.end(), body.begin(), body.end());
    putBig32(file, crc32(body.data(), body.size()));
}
} // namespace png_detail

// Deflate "stored" blocks: large but needs no compressor.
inline bool writePng(const std::string& path, const Picture& picture) {
    const int width = picture.width, height = picture.height;
    const std::vector<std::uint32_t>& pixels = picture.pixels;
    using namespace png_detail;
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height)
        return false;
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * width));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            raw.push_back(static_cast<std::uint8_t>(p >> 16));
            raw.push_back(static_cast<std::uint8_t>(p >> 8));
            raw.push_back(static_cast<std::uint8_t>(p));
        }
    }
    std::vector<std::uint8_t> z{0x78, 0x01};
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        size_t size = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + size >= raw.size() ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(size));
        z.push_back(static_cast<std::uint8_t>(size >> 8));
        z.push_back(static_cast<std::uint8_t>(~size));
        z.push_back(static_cast<std::uint8_t>(~size >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + size));
        if (at + size >= raw.size())
            break;
    }
    putBig32(z, (b << 16) | a);

    std::vector<std::uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    putBig32(header, static_cast<std::uint32_t>(width));
    putBig32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    chunk(file, "IHDR", header);
    chunk(file, "IDAT", z);
    chunk(file, "IEND", {});
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

// The engine's failure display as the window must draw it: bold cyan on black, centred, a third of the way
// down, wrapped at words.
inline Picture expectedFailureDisplay(const char* text, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    RECT all{0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HFONT font = CreateFontA(0, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, nullptr);
    HGDIOBJ oldFont = SelectObject(memory, font);
    SetTextColor(memory, RGB(0, 255, 255));
    SetBkColor(memory, RGB(0, 0, 0));
    SIZE extent{};
    GetTextExtentPoint32A(memory, text, static_cast<int>(strlen(text)), &extent);
    RECT box{0, (height - extent.cy) / 3, width, height};
    DrawTextA(memory, text, -1, &box, DT_CENTER | DT_WORDBREAK);
    Picture shot = captureDC(memory, all);
    SelectObject(memory, oldFont);
    DeleteObject(font);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

} // namespace e2e
