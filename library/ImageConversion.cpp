#include "library/ImageConversion.h"

#include "framework/Trace.h"
#include "framework/Handles.h"
#include "framework/WholeFile.h"
#include "imaging/PictureDecoder.h"
#include "library/BmpFile.h"
#include "library/FitGeometry.h"
#include "library/LibraryText.h"
#include "library/SourceScreen.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace library {

namespace {

bool stopped(const imaging::StopSignal* stop) {
    return stop && stop->stopRequested();
}

bool isOwnFormat(imaging::PictureFormat format) {
    return format == imaging::PictureFormat::Jpeg || format == imaging::PictureFormat::Bmp ||
           format == imaging::PictureFormat::PackedDib;
}

// The bytes in a movable memory block, for a stream on it.
fw::GlobalMemory globalCopy(const std::vector<std::uint8_t>& bytes) {
    fw::GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!block)
        return block;
    void* locked = GlobalLock(block.get());
    if (!locked)
        return fw::GlobalMemory();
    std::memcpy(locked, bytes.data(), bytes.size());
    (void)GlobalUnlock(block.get());
    return block;
}

// Metafiles are left to the system loader, which reads them from a stream.
fw::ComPtr<IPicture> loadMetafile(const std::vector<std::uint8_t>& bytes) {
    fw::GlobalMemory block = globalCopy(bytes);
    if (!block)
        return fw::ComPtr<IPicture>();
    fw::ComPtr<IStream> stream;
    // The stream owns the block from here on and frees it when released.
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.receive())))
        return fw::ComPtr<IPicture>();
    (void)block.release();
    fw::ComPtr<IPicture> picture;
    HRESULT loaded = OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(picture.receive()));
    if (FAILED(loaded))
        picture.reset();
    return picture;
}

// The system loader believes what a header says; a lying one must not get that far.
bool isSafeMetafile(const std::uint8_t* bytes, std::size_t size) {
    return imaging::detectPictureFormat(bytes, size) == imaging::PictureFormat::Wmf &&
           isSafeForSystemLoader(bytes, size);
}

bool readSource(const std::string& path, PreparedPicture& picture, const imaging::StopSignal* stop) {
    // A build's abort is seen between read chunks too.
    const fw::WholeFileRead read =
        fw::readWholeFile(path, kMaxSourceBytes, picture.bytes, [stop] { return stopped(stop); });
    return read == fw::WholeFileRead::Read && !picture.bytes.empty();
}

// The fit of a picture of that HIMETRIC size as the display's pixels measure it.
std::optional<FitPlan> planForDisplay(long hmWidth, long hmHeight, PixelsPerInch pixelsPerInch, int targetSize) {
    return planFit(hmWidth, hmHeight, himetricToPixels(hmWidth, pixelsPerInch.x),
                   himetricToPixels(hmHeight, pixelsPerInch.y), targetSize);
}

// Our own formats: the size from the headers, the plan, and the pixels at the drawn size.
bool decodeOwnFormat(PreparedPicture& picture, int width, int height, int targetSize, PixelsPerInch pixelsPerInch,
                     const imaging::StopSignal* stop) {
    // The size the system loader reports for a 96-dpi picture, so the fit is the same as ever.
    picture.hmWidth = pixelsToHimetric(width, kPictureDpi);
    picture.hmHeight = pixelsToHimetric(height, kPictureDpi);
    auto plan = planForDisplay(picture.hmWidth, picture.hmHeight, pixelsPerInch, targetSize);
    if (!plan)
        return false;
    picture.plan = *plan;
    imaging::PictureInfo info;
    const imaging::ImageError error = imaging::decodePictureToSize(
        picture.bytes.data(), picture.bytes.size(), plan->drawWidth, plan->drawHeight, picture.pixels, &info, stop);
    std::vector<std::uint8_t>().swap(picture.bytes);
    return error == imaging::ImageError::None && picture.pixels.width == plan->drawWidth &&
           picture.pixels.height == plan->drawHeight;
}

// Copies the pixels 1:1 from a top-down 32-bit DIB; GDI converts them to the bitmap's depth.
bool drawPixels(HDC dc, const imaging::Image& image, int x, int y) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return StretchDIBits(dc, x, y, image.width, image.height, 0, 0, image.width, image.height, image.pixels.data(),
                         &info, DIB_RGB_COLORS, SRCCOPY) == image.height;
}

// Draws the whole metafile upright into the rectangle: the source rectangle is given bottom-up.
bool renderMetafile(IPicture* picture, HDC dc, long hmWidth, long hmHeight, int x, int y, int width, int height) {
    // Bitmaps inside a metafile are stretched too: filtered, not ANDed together.
    (void)SetStretchBltMode(dc, HALFTONE);
    (void)SetBrushOrgEx(dc, 0, 0, nullptr);
    return SUCCEEDED(picture->Render(dc, x, y, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr));
}

} // namespace

PixelsPerInch screenPixelsPerInch() {
    PixelsPerInch pixelsPerInch;
    fw::MemoryDC memory(CreateCompatibleDC(nullptr));
    if (memory) {
        pixelsPerInch.x = GetDeviceCaps(memory.get(), LOGPIXELSX);
        pixelsPerInch.y = GetDeviceCaps(memory.get(), LOGPIXELSY);
    }
    return pixelsPerInch;
}

PreparedPicture preparePicture(const std::string& sourcePath, int targetSize, PixelsPerInch pixelsPerInch,
                               const imaging::StopSignal* stop) {
    PreparedPicture picture;
    // A bad size fails before any work is done.
    if (targetSize < 1 || targetSize > kMaxTargetSize)
        return picture;
    // Polled here and between the long steps; the decoders poll while they read.
    if (stopped(stop) || !readSource(sourcePath, picture, stop))
        return picture;
    const std::uint8_t* bytes = picture.bytes.data();
    const std::size_t size = picture.bytes.size();
    imaging::PictureInfo info;
    const imaging::ImageError error = imaging::readPictureInfo(bytes, size, info);
    if (isOwnFormat(info.format)) {
        picture.ok = error == imaging::ImageError::None &&
                     decodeOwnFormat(picture, info.width, info.height, targetSize, pixelsPerInch, stop);
        return picture;
    }
    picture.metafile = isSafeMetafile(bytes, size);
    picture.ok = picture.metafile;
    // Read again where it is drawn: a picture prepared ahead holds no more than its drawn pixels.
    std::vector<std::uint8_t>().swap(picture.bytes);
    return picture;
}

bool finishPicture(PreparedPicture& picture, const std::string& sourcePath, const std::string& outputPath,
                   int targetSize, PixelsPerInch pixelsPerInch, HWND referenceWindow, const imaging::StopSignal* stop) {
    if (!picture.ok || stopped(stop))
        return false;
    fw::ComPtr<IPicture> metafile;
    if (picture.metafile) {
        if (!readSource(sourcePath, picture, stop) || !isSafeMetafile(picture.bytes.data(), picture.bytes.size()))
            return false;
        metafile = loadMetafile(picture.bytes);
        std::vector<std::uint8_t>().swap(picture.bytes);
        OLE_XSIZE_HIMETRIC hmWidth = 0;
        OLE_YSIZE_HIMETRIC hmHeight = 0;
        if (!metafile || FAILED(metafile->get_Width(&hmWidth)) || FAILED(metafile->get_Height(&hmHeight)))
            return false;
        picture.hmWidth = hmWidth;
        picture.hmHeight = hmHeight;
        auto plan = planForDisplay(hmWidth, hmHeight, pixelsPerInch, targetSize);
        if (!plan || stopped(stop))
            return false;
        picture.plan = *plan;
    }
    const FitPlan& plan = picture.plan;
    if (plan.letterBox)
        Trace(text::kTracePreserving, sourcePath.c_str());

    fw::MemoryDC memory(CreateCompatibleDC(nullptr));
    if (!memory)
        return false;
    fw::Bitmap bitmap;
    {
        // Compatible with the dialog's display, so the cache file has the display's colour depth.
        fw::WindowDC screen(referenceWindow);
        if (!screen.get())
            return false;
        bitmap.reset(CreateCompatibleBitmap(screen.get(), plan.bitmapWidth, plan.bitmapHeight));
    }
    if (!bitmap)
        return false;
    {
        fw::SelectObjectScope selected(memory.get(), bitmap.get());
        RECT whole{0, 0, plan.bitmapWidth, plan.bitmapHeight};
        if (plan.letterBox) {
            fw::Brush black(CreateSolidBrush(RGB(0, 0, 0)));
            (void)FillRect(memory.get(), &whole, black.get());
        }
        const bool drawn = metafile ? renderMetafile(metafile.get(), memory.get(), picture.hmWidth, picture.hmHeight,
                                                     plan.drawX, plan.drawY, plan.drawWidth, plan.drawHeight)
                                    : drawPixels(memory.get(), picture.pixels, plan.drawX, plan.drawY);
        if (!drawn)
            return false;
        if (plan.letterBox) {
            fw::Brush frame(CreateSolidBrush(RGB(64, 64, 64)));
            (void)FrameRect(memory.get(), &whole, frame.get());
        }
    }
    picture.pixels = imaging::Image{}; // drawn: the bitmap holds the pixels now

    BitmapInfoBlock info = createBitmapInfo(bitmap.get());
    if (!info || stopped(stop))
        return false;
    return writeBmpFile(outputPath, info.get(), bitmap.get(), memory.get());
}

bool convertPicture(const std::string& sourcePath, const std::string& outputPath, int targetSize, HWND referenceWindow,
                    const imaging::StopSignal* stop) {
    const PixelsPerInch pixelsPerInch = screenPixelsPerInch();
    PreparedPicture picture = preparePicture(sourcePath, targetSize, pixelsPerInch, stop);
    return finishPicture(picture, sourcePath, outputPath, targetSize, pixelsPerInch, referenceWindow, stop);
}

} // namespace library
