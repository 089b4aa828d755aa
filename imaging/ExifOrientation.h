// The orientation a camera records in a JPEG's EXIF block, and turning a picture upright by it.
#pragma once

#include "imaging/Image.h"

#include <cstddef>
#include <cstdint>

namespace imaging {

// The EXIF orientation of JPEG bytes, 1 to 8 (1: stored upright). A picture without one, or with a
// block that cannot be trusted, gives 1. Reads only the markers before the first scan.
int readExifOrientation(const std::uint8_t* data, std::size_t size);

// Orientations 5 to 8 store the picture a quarter turn round: its upright width is the stored height.
inline bool swapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// Where the stored pixel (x, y) of a width x height picture lands in the upright picture.
inline void uprightPosition(int orientation, int width, int height, int x, int y, int& ux, int& uy) {
    switch (orientation) {
    case 2: // mirrored
        ux = width - 1 - x, uy = y;
        break;
    case 3: // half a turn
        ux = width - 1 - x, uy = height - 1 - y;
        break;
    case 4: // upside down
        ux = x, uy = height - 1 - y;
        break;
    case 5: // transposed
        ux = y, uy = x;
        break;
    case 6: // shown a quarter turn clockwise
        ux = height - 1 - y, uy = x;
        break;
    case 7: // transposed across the other diagonal
        ux = height - 1 - y, uy = width - 1 - x;
        break;
    case 8: // shown a quarter turn anticlockwise
        ux = y, uy = width - 1 - x;
        break;
    default:
        ux = x, uy = y;
        break;
    }
}

// The stored picture turned upright; may throw std::bad_alloc.
Image orientImage(Image stored, int orientation);

} // namespace imaging
