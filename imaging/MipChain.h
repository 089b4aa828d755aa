// The mip levels of a texture, each filtered from the one above it.
#pragma once

#include "imaging/Image.h"

#include <vector>

namespace imaging {

// Levels down to 1 x 1: 1 + floor(log2(max(width, height))).
int fullMipCount(int width, int height);

// Level 0 is top itself; each further level halves both sides (never below 1) with the triangle filter.
// levels 0 or more than the full count gives the full chain. May throw std::bad_alloc.
std::vector<Image> makeMipChain(Image top, int levels);

} // namespace imaging
