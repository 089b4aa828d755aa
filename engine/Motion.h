// The cube's motion model: settings to rates, edge and depth bounces, drift and the upright schedule.
// Portable: no window or device code.
#pragma once

#include "settings/MotionSettings.h"

#include <cstdint>

namespace motion {

struct Vec3 {
    float x, y, z;
};

// The slider values as the profile stores them.
using MotionSettings = settings::MotionSettings;

struct MotionParams {
    Vec3 spinRate; // radians per second about each model axis
    Vec3 velocity; // model units per drawn frame
    float zMin, zMax;
    bool keepUpright;
};

MotionParams motionFromSettings(const MotionSettings& settings);

// Clip-union bits, as Direct3D names them.
inline constexpr unsigned kClipLeft = 0x1;
inline constexpr unsigned kClipRight = 0x2;
inline constexpr unsigned kClipTop = 0x4;
inline constexpr unsigned kClipBottom = 0x8;

// Turns the velocity back on the axes whose edge one face crossed, unless it already points inward.
// True when any edge bit is set: the frame touched an edge.
bool bounceAtEdges(unsigned clipUnion, Vec3& velocity);

// Turns the depth velocity back outside the band; only ever matters with a depth speed.
void bounceInDepth(float z, float zMin, float zMax, Vec3& velocity);

// One fixed step per frame.
void drift(Vec3& position, const Vec3& velocity);

// Start position: centred, halfway through the depth band.
Vec3 startPosition(float zMin, float zMax);

// Seconds since start on the millisecond clock, correct across its wrap.
float secondsSince(std::uint32_t now, std::uint32_t start);

// The pair of opposite faces (0, 2 or 4) to make upright in this frame, or -1; advances pair when one
// is taken. Frames that touch an edge neither take nor advance a pair.
int takeUprightPair(bool touchedEdge, bool keepUpright, int& pair);

} // namespace motion
