// Where a picture goes in its cached bitmap: a plain fit for near-square pictures, a square letter-box
// with black bands for the others. Free of window code.
#pragma once

#include <optional>

namespace library {

// Larger edges than this are refused: the bitmap and its pixel copy would need hundreds of megabytes.
constexpr int kMaxTargetSize = 4096;

// The resolution the system picture loader reports raster pictures at, whatever their files say.
constexpr int kPictureDpi = 96;

// HIMETRIC (0.01 mm) to pixels at the given logical pixels per inch, rounded to the nearest pixel.
long himetricToPixels(long himetric, int pixelsPerInch);
// Pixels to HIMETRIC, rounded to the nearest unit as the system picture loader rounds.
long pixelsToHimetric(long pixels, int pixelsPerInch);

struct FitPlan {
    bool letterBox = false;
    int bitmapWidth = 0;
    int bitmapHeight = 0;
    // The rectangle the picture is drawn into.
    int drawX = 0;
    int drawY = 0;
    int drawWidth = 0;
    int drawHeight = 0;
};

// hmWidth and hmHeight give the aspect ratio; pixelWidth and pixelHeight (the same size in device pixels)
// the plain fit. No plan when a size is not positive, targetSize lies outside 1 ... kMaxTargetSize, or the
// bitmap or the drawn picture would be less than a pixel wide or high.
std::optional<FitPlan> planFit(long hmWidth, long hmHeight, long pixelWidth, long pixelHeight, int targetSize);

} // namespace library
