// Section and key names of Prismata.ini, spelled as the file stores them.
#pragma once

namespace keys {

inline constexpr char kSettings[] = "Settings";
inline constexpr char kConversionParms[] = "ConversionParms";
inline constexpr char kPhotos[] = "Photos";
// Where the last show stopped, for the next one to go on from.
inline constexpr char kShow[] = "Show";

inline constexpr char kSpinX[] = "SpinX";
inline constexpr char kSpinY[] = "SpinY";
inline constexpr char kSpinZ[] = "SpinZ";
inline constexpr char kSpeedX[] = "SpeedX";
inline constexpr char kSpeedY[] = "SpeedY";
inline constexpr char kSpeedZ[] = "SpeedZ";
inline constexpr char kCubeSize[] = "CubeSize";
inline constexpr char kKeepUpright[] = "KeepUpright";
inline constexpr char kPicturePath[] = "PicturePath";
// 1: the rebuild takes the pictures of every folder below PicturePath too.
inline constexpr char kIncludeSubfolders[] = "IncludeSubfolders";
inline constexpr char kLowScreenResolution[] = "LowScreenResolution";
inline constexpr char kAllowSoftwareAcceleration[] = "AllowSoftwareAcceleration";
inline constexpr char kConvert[] = "Convert";
inline constexpr char kTextureSize[] = "TextureSize";
inline constexpr char kTimeBetweenImages[] = "TimeBetweenImages";
// 0 from the first picture, 1 continue where the last show stopped, 2 shuffled.
inline constexpr char kPictureOrder[] = "PictureOrder";
inline constexpr char kPreserveAspectRatio[] = "PreserveAspectRatio";
inline constexpr char kTargetBmpSize[] = "TargetBmpSize";
inline constexpr char kCount[] = "Count";
// Marks each rebuilt list, so a stored position of an earlier list is known as stale.
inline constexpr char kStamp[] = "Stamp";
// [Show]: the position text of the picture order.
inline constexpr char kPosition[] = "Position";
// Picture-list entries are named with this format: Entry0, Entry1, ...
inline constexpr char kEntryFormat[] = "Entry%d";

} // namespace keys
