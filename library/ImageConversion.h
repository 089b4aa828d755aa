// One picture file decoded (metafiles by the system picture loader) and redrawn into a cached BMP file.
#pragma once

#include "imaging/StopSignal.h"

#include <windows.h>

#include <string>

namespace library {

// Source files larger than this are not read into memory.
constexpr unsigned long long kMaxSourceBytes = 256ull << 20;

// Decodes sourcePath, fits or letter-boxes it into a bitmap whose longer side is targetSize pixels, at the
// colour depth of referenceWindow's display, and writes it to outputPath. False, with no file left behind,
// when the source cannot be read or decoded, the size is unusable, the file cannot be written whole, or stop
// is raised before the picture is done.
bool convertPicture(const std::string& sourcePath, const std::string& outputPath, int targetSize, HWND referenceWindow,
                    const imaging::StopSignal* stop = nullptr);

} // namespace library
