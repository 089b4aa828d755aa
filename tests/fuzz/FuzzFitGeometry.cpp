// Fit and letter-box plans for pictures of any reported size and any target size: the picture inside the
// bitmap, the longer side of the bitmap the target size, bands centred, and a plan for every sane input.
#include "library/FitGeometry.h"
#include "tests/support/FuzzInput.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using support::check;
using support::take;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const long hmWidth = take<long>(data, size);
    const long hmHeight = take<long>(data, size);
    const long pixelWidth = take<long>(data, size);
    const long pixelHeight = take<long>(data, size);
    const int target = take<std::int32_t>(data, size);
    const int ppi = 1 + int(take<std::uint16_t>(data, size) % 2400);

    // The picture loader reports HIMETRIC sizes as 32-bit values.
    const std::int32_t himetric = static_cast<std::int32_t>(hmWidth);
    const long pixels = library::himetricToPixels(himetric, ppi);
    check(std::fabs(double(pixels) - double(himetric) * ppi / 2540.0) <= 0.5 + 1e-6);
    if (himetric >= 0 && himetric < INT32_MAX)
        check(pixels >= 0 && library::himetricToPixels(himetric + 1, ppi) >= pixels);

    const auto plan = library::planFit(hmWidth, hmHeight, pixelWidth, pixelHeight, target);
    // Within 64:1 either way, a target of 64 or more leaves every side at least a pixel.
    auto within64 = [](long a, long b) { return double(a) <= 64.0 * double(b) && double(b) <= 64.0 * double(a); };
    const bool sane = hmWidth > 0 && hmHeight > 0 && pixelWidth > 0 && pixelHeight > 0 && target >= 64 &&
                      target <= library::kMaxTargetSize && within64(hmWidth, hmHeight) &&
                      within64(pixelWidth, pixelHeight);
    if (sane)
        check(plan.has_value());
    if (!plan)
        return 0;
    check(target >= 1 && target <= library::kMaxTargetSize);
    check(plan->bitmapWidth >= 1 && plan->bitmapHeight >= 1);
    check(plan->bitmapWidth <= target && plan->bitmapHeight <= target);
    check(plan->bitmapWidth == target || plan->bitmapHeight == target);
    check(plan->drawWidth >= 1 && plan->drawHeight >= 1 && plan->drawX >= 0 && plan->drawY >= 0);
    check(plan->drawX + plan->drawWidth <= plan->bitmapWidth);
    check(plan->drawY + plan->drawHeight <= plan->bitmapHeight);
    const double ratio = double(hmWidth) / double(hmHeight);
    check(plan->letterBox == (ratio > 1.35 || double(float(ratio)) < 0.73));
    if (plan->letterBox) {
        check(plan->bitmapWidth == target && plan->bitmapHeight == target);
        check(plan->drawWidth == target || plan->drawHeight == target);
        check(plan->drawX == (target - plan->drawWidth) / 2 && plan->drawY == (target - plan->drawHeight) / 2);
    } else {
        check(plan->drawX == 0 && plan->drawY == 0);
        check(plan->drawWidth == plan->bitmapWidth && plan->drawHeight == plan->bitmapHeight);
    }
    return 0;
}
