// Resampling with a triangle (tent) filter, edges mirrored: pictures of any shape to the texture's size.
#pragma once

#include "imaging/Image.h"

namespace imaging {

// A new image of width x height. Shrinking widens the tent to the scale factor so every source pixel
// contributes; enlarging interpolates linearly. Pixels beyond an edge are taken mirrored back into
// the picture. An empty source or a size below 1 gives an empty image; may throw std::bad_alloc.
Image scaleTriangle(const Image& source, int width, int height);

} // namespace imaging
