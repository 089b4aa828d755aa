#include "library/FitGeometry.h"

#include <cmath>

namespace library {

namespace {
// Ratios beyond these (width / height) are letter-boxed. A ratio equal to a limit takes the plain fit.
constexpr double kUpperRatio = 1.35;
constexpr double kLowerRatio = 0.73;
} // namespace

long himetricToPixels(long himetric, int pixelsPerInch) {
    return std::lround(static_cast<double>(himetric) * pixelsPerInch / 2540.0);
}

long pixelsToHimetric(long pixels, int pixelsPerInch) {
    return std::lround(static_cast<double>(pixels) * 2540.0 / pixelsPerInch);
}

std::optional<FitPlan> planFit(long hmWidth, long hmHeight, long pixelWidth, long pixelHeight, int targetSize) {
    if (hmWidth <= 0 || hmHeight <= 0 || pixelWidth <= 0 || pixelHeight <= 0)
        return std::nullopt;
    if (targetSize < 1 || targetSize > kMaxTargetSize)
        return std::nullopt;

    const double ratio = static_cast<double>(hmWidth) / static_cast<double>(hmHeight);
    // The lower test and the band arithmetic use the single-precision copy, so 16:9 lies just above 16/9.
    const float ratioSingle = static_cast<float>(ratio);
    const double size = targetSize;
    FitPlan plan;

    if (!(ratio > kUpperRatio) && !(ratioSingle < kLowerRatio)) {
        if (pixelWidth > pixelHeight) {
            plan.bitmapWidth = targetSize;
            plan.bitmapHeight = static_cast<int>(std::trunc(static_cast<double>(pixelHeight) * size / pixelWidth));
        } else {
            plan.bitmapWidth = static_cast<int>(std::trunc(size * static_cast<double>(pixelWidth) / pixelHeight));
            plan.bitmapHeight = targetSize;
        }
        plan.drawWidth = plan.bitmapWidth;
        plan.drawHeight = plan.bitmapHeight;
    } else {
        plan.letterBox = true;
        plan.bitmapWidth = targetSize;
        plan.bitmapHeight = targetSize;
        if (ratioSingle > 1.0) {
            plan.drawWidth = targetSize;
            plan.drawHeight = static_cast<int>(std::trunc(size / static_cast<double>(ratioSingle)));
            plan.drawY = (targetSize - plan.drawHeight) / 2;
        } else {
            plan.drawHeight = targetSize;
            plan.drawWidth = static_cast<int>(std::trunc(size * static_cast<double>(ratioSingle)));
            plan.drawX = (targetSize - plan.drawWidth) / 2;
        }
    }
    if (plan.bitmapWidth < 1 || plan.bitmapHeight < 1 || plan.drawWidth < 1 || plan.drawHeight < 1)
        return std::nullopt;
    return plan;
}

} // namespace library
