// The engine's fixed failure texts, and the bounded formatting of the device-error text.
#pragma once

#include <cstddef>

namespace engine {

inline constexpr char kNoDirect3DText[] = "Unable to initialize Direct3D";
inline constexpr char kNoWindowedConfigText[] =
    "Prismata was unable to find a windowed configuration that supports Direct3D";
inline constexpr char kNoFullScreenConfigText[] =
    "Prismata was unable to find a fullscreen configuration that supports Direct3D";
inline constexpr char kNoDisplayConfigText[] =
    "Prismata was unable to find a display configuration that supports Direct3D";
inline constexpr char kNoPreviewText[] = "No thumbnail preview available";

// The size of the message buffer a device-error text is formatted into.
inline constexpr std::size_t kMessageBufferSize = 256;

// "DirectX error opening device: <name>", cut to fit the buffer and always terminated.
void formatDeviceError(char (&buffer)[kMessageBufferSize], const char* errorName);
// Adds ". Software acceleration failed as well." to the text, as far as it fits.
void appendSoftwareFailed(char (&buffer)[kMessageBufferSize]);

} // namespace engine
