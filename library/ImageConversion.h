// One picture file decoded (metafiles by the system picture loader) and redrawn into a cached BMP file.
#pragma once

#include "imaging/Image.h"
#include "imaging/StopSignal.h"
#include "library/FitGeometry.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace library {

// Source files larger than this are not read into memory.
constexpr unsigned long long kMaxSourceBytes = 256ull << 20;

// The display's logical pixels per inch, which turn a picture's HIMETRIC size into pixels; read once per build.
struct PixelsPerInch {
    int x = kPictureDpi;
    int y = kPictureDpi;
};
PixelsPerInch screenPixelsPerInch();

// The first half of a conversion: the file read and, for the pictures our own loader decodes, the pixels at
// their drawn size. It needs no window, device context or COM, so it may run on any thread.
struct PreparedPicture {
    bool ok = false;
    bool metafile = false;           // left to the system loader, which reads it again on the finishing thread
    std::vector<std::uint8_t> bytes; // the file while it is read or decoded
    long hmWidth = 0;
    long hmHeight = 0;
    FitPlan plan;          // our own formats; a metafile is planned once the system loader has its size
    imaging::Image pixels; // our own formats, at plan's drawn size
};
PreparedPicture preparePicture(const std::string& sourcePath, int targetSize, PixelsPerInch pixelsPerInch,
                               const imaging::StopSignal* stop = nullptr);

// The second half: the bitmap at the colour depth of referenceWindow's display, drawn and written to outputPath.
// Runs on the thread that calls the system picture loader (it needs COM for a metafile). Traces a letter-boxed
// picture under sourcePath. False, with no file left behind, when picture was not prepared, the file cannot be
// written whole, or stop is raised before the file is begun.
bool finishPicture(PreparedPicture& picture, const std::string& sourcePath, const std::string& outputPath,
                   int targetSize, PixelsPerInch pixelsPerInch, HWND referenceWindow,
                   const imaging::StopSignal* stop = nullptr);

// Both halves on the calling thread: decodes sourcePath, fits or letter-boxes it into a bitmap whose longer side
// is targetSize pixels, at the colour depth of referenceWindow's display, and writes it to outputPath. False,
// with no file left behind, when the source cannot be read or decoded, the size is unusable, the file cannot be
// written whole, or stop is raised before the picture is done.
bool convertPicture(const std::string& sourcePath, const std::string& outputPath, int targetSize, HWND referenceWindow,
                    const imaging::StopSignal* stop = nullptr);

} // namespace library
