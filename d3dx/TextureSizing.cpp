#include "d3dx/TextureSizing.h"

#include <algorithm>
#include <climits>

namespace d3dx {

unsigned roundUpToPowerOfTwo(unsigned value) {
    unsigned p = 1;
    while (p < value && p < (1u << 30))
        p <<= 1;
    return p;
}

unsigned textureSideFor(unsigned requested, const TextureLimits& limits) {
    if (requested == 0 || requested > unsigned(INT_MAX))
        return 0;
    unsigned side = limits.powerOfTwo ? roundUpToPowerOfTwo(requested) : requested;
    unsigned largest = limits.maxSide;
    // A power-of-two device's largest side is a power of two too; stay below it if it is not.
    if (limits.powerOfTwo && roundUpToPowerOfTwo(largest) != largest)
        largest = roundUpToPowerOfTwo(largest) / 2;
    return std::max(1u, std::min(side, largest));
}

} // namespace d3dx
