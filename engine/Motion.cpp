#include "engine/Motion.h"

namespace motion {

namespace {
// Single-precision constants: one spin unit is a little under half a degree per second.
constexpr float kSpinScale = 0.00872664f;
constexpr float kSpeedXScale = 0.0002f;
constexpr float kSpeedYScale = 0.00005f;
constexpr float kSpeedZScale = 0.00008333333f;
constexpr float kNearBase = 5.1f;
constexpr float kNearPerSize = 0.030303031f;
constexpr float kFarBase = 10.1f;
constexpr float kFarPerSize = 0.07070707f;
} // namespace

MotionParams motionFromSettings(const MotionSettings& s) {
    MotionParams p{};
    p.spinRate = Vec3{static_cast<float>(s.spinX) * kSpinScale, static_cast<float>(s.spinY) * kSpinScale,
                      static_cast<float>(s.spinZ) * kSpinScale};
    p.velocity = Vec3{static_cast<float>(s.speedX) * kSpeedXScale, static_cast<float>(s.speedY) * kSpeedYScale,
                      static_cast<float>(s.speedZ) * kSpeedZScale};
    p.zMin = kNearBase - static_cast<float>(s.cubeSize) * kNearPerSize;
    p.zMax = kFarBase - static_cast<float>(s.cubeSize) * kFarPerSize;
    p.keepUpright = s.keepUpright;
    return p;
}

bool bounceAtEdges(unsigned clipUnion, Vec3& velocity) {
    if ((clipUnion & kClipRight) && velocity.x > 0)
        velocity.x = -velocity.x;
    else if ((clipUnion & kClipLeft) && velocity.x < 0)
        velocity.x = -velocity.x;
    if ((clipUnion & kClipTop) && velocity.y > 0)
        velocity.y = -velocity.y;
    else if ((clipUnion & kClipBottom) && velocity.y < 0)
        velocity.y = -velocity.y;
    return (clipUnion & (kClipLeft | kClipRight | kClipTop | kClipBottom)) != 0;
}

void bounceInDepth(float z, float zMin, float zMax, Vec3& velocity) {
    if (z < zMin && velocity.z < 0)
        velocity.z = -velocity.z;
    if (z > zMax && velocity.z > 0)
        velocity.z = -velocity.z;
}

void drift(Vec3& position, const Vec3& velocity) {
    position.x += velocity.x;
    position.y += velocity.y;
    position.z += velocity.z;
}

Vec3 startPosition(float zMin, float zMax) {
    return Vec3{0.0f, 0.0f, (zMin + zMax) * 0.5f};
}

float secondsSince(std::uint32_t now, std::uint32_t start) {
    return static_cast<float>(static_cast<std::uint32_t>(now - start)) * 0.001f;
}

int takeUprightPair(bool touchedEdge, bool keepUpright, int& pair) {
    if (touchedEdge || !keepUpright)
        return -1;
    int taken = pair;
    pair = (pair + 2) % 6;
    return taken;
}

} // namespace motion
