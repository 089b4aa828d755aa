#include "imaging/MipChain.h"

#include "imaging/Scale.h"

#include <algorithm>
#include <utility>

namespace imaging {

int fullMipCount(int width, int height) {
    int side = std::max(width, height);
    int count = 1;
    while (side > 1) {
        side /= 2;
        ++count;
    }
    return count;
}

std::vector<Image> makeMipChain(Image top, int levels) {
    std::vector<Image> chain;
    if (top.width <= 0 || top.height <= 0)
        return chain;
    const int full = fullMipCount(top.width, top.height);
    if (levels <= 0 || levels > full)
        levels = full;
    chain.reserve(static_cast<std::size_t>(levels));
    chain.push_back(std::move(top));
    while (static_cast<int>(chain.size()) < levels) {
        const Image& above = chain.back();
        Image next = scaleTriangle(above, std::max(1, above.width / 2), std::max(1, above.height / 2));
        chain.push_back(std::move(next));
    }
    return chain;
}

} // namespace imaging
