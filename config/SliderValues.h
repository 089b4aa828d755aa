// Slider ranges of the main settings dialog and the rules between stored values and thumb positions.
#pragma once

namespace config {

inline constexpr int kSpinMin = -99;
inline constexpr int kSpinMax = 99;
inline constexpr int kSpeedMin = 0;
inline constexpr int kSpeedMax = 99;
inline constexpr int kSizeMin = 0;
inline constexpr int kSizeMax = 99;

// A stored value outside a slider's range puts the thumb at the nearer end.
int clampToRange(int value, int low, int high);

// Motion close to zero is not worth showing: spins and speeds in -6 .. 6 are stored as 0.
int applyDeadZone(int value);

} // namespace config
