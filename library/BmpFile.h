// Writing a device-dependent bitmap as an uncompressed BMP file at its own colour depth.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace library {

struct LocalMemoryDeleter {
    void operator()(BITMAPINFO* info) const { (void)LocalFree(info); }
};
// A BITMAPINFOHEADER followed by its colour table, in one zero-filled block.
using BitmapInfoBlock = std::unique_ptr<BITMAPINFO, LocalMemoryDeleter>;

// The description of a bitmap as the file stores it; null when the bitmap cannot be queried or
// described.
BitmapInfoBlock createBitmapInfo(HBITMAP bitmap);

// Fetches the pixels (the bitmap must not be selected into a DC) and writes the file header, the
// description and the pixel rows. True only when the whole file was written and closed; a file that
// could not be completed is removed.
bool writeBmpFile(const std::string& path, BITMAPINFO* info, HBITMAP bitmap, HDC dc);

} // namespace library
