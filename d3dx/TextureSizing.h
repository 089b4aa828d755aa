// The side a texture gets for a requested size, the way the utility library fits a request to a device.
#pragma once

namespace d3dx {

// What the device allows: its largest side, and whether sides must be powers of two.
struct TextureLimits {
    unsigned maxSide = 256;
    bool powerOfTwo = false;
};

// 0 for a request that no texture can have: zero, or a negative number passed on as unsigned. Any other
// request is rounded up to a power of two where the device needs one and clamped to its largest side.
unsigned textureSideFor(unsigned requested, const TextureLimits& limits);

// The smallest power of two at or above value (1 for 0), at most 2^30.
unsigned roundUpToPowerOfTwo(unsigned value);

} // namespace d3dx
