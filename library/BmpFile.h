// Writing a device-dependent bitmap as an uncompressed BMP file at its own colour depth.
#pragma once

#include "framework/Handles.h"

#include <string>

namespace library {

// A BITMAPINFOHEADER followed by its colour table, in one zero-filled block.
using BitmapInfoBlock = fw::LocalMemory<BITMAPINFO>;

// The description of a bitmap as the file stores it; null when the bitmap cannot be queried or
// described.
BitmapInfoBlock createBitmapInfo(HBITMAP bitmap);

// Fetches the pixels (the bitmap must not be selected into a DC) and writes the file header, the
// description and the pixel rows. True only when the whole file was written and closed; a file that
// could not be completed is removed.
bool writeBmpFile(const std::string& path, BITMAPINFO* info, HBITMAP bitmap, HDC dc);

} // namespace library
