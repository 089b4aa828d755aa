// Writing decoded pixels into a locked texture level, in the texture's own pixel format.
#pragma once

#include "imaging/Image.h"

#include <cstddef>

namespace imaging {

enum class PackedFormat { X8R8G8B8, A8R8G8B8, R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5, A4R4G4B4, X4R4G4B4 };

int bytesPerPixel(PackedFormat format);

// Writes every row of image at bits, rows pitch bytes apart (the lock's pitch, at least the row size).
// Unused bits (the X of X8R8G8B8) are written as ones.
void packImage(const Image& image, PackedFormat format, void* bits, std::ptrdiff_t pitch);

} // namespace imaging
