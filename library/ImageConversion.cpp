#include "library/ImageConversion.h"

#include "app/Trace.h"
#include "framework/Handles.h"
#include "imaging/PictureDecoder.h"
#include "library/BmpFile.h"
#include "library/FitGeometry.h"
#include "library/LibraryText.h"
#include "library/SourceScreen.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <utility>

namespace library {

namespace {

struct DcTraits {
    using Handle = HDC;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)DeleteDC(h); }
};
using MemoryDC = fw::UniqueHandle<DcTraits>;

struct GlobalTraits {
    using Handle = HGLOBAL;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)GlobalFree(h); }
};
using GlobalBlock = fw::UniqueHandle<GlobalTraits>;

// The whole file in a movable memory block, or an empty block.
GlobalBlock readWholeFile(const std::string& path, DWORD& size) {
    HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return GlobalBlock();
    fw::KernelHandle file(opened);
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file.get(), &length) || length.QuadPart <= 0 ||
        static_cast<unsigned long long>(length.QuadPart) > kMaxSourceBytes)
        return GlobalBlock();
    size = static_cast<DWORD>(length.QuadPart);

    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block)
        return GlobalBlock();
    void* bytes = GlobalLock(block.get());
    if (!bytes)
        return GlobalBlock();
    DWORD read = 0;
    bool whole = ReadFile(file.get(), bytes, size, &read, nullptr) && read == size;
    (void)GlobalUnlock(block.get());
    return whole ? std::move(block) : GlobalBlock();
}

// Holds a memory block locked while its bytes are read.
class LockedBytes {
public:
    explicit LockedBytes(HGLOBAL block)
        : m_block(block), m_bytes(static_cast<const std::uint8_t*>(GlobalLock(block))) {}
    ~LockedBytes() {
        if (m_bytes)
            (void)GlobalUnlock(m_block);
    }
    LockedBytes(const LockedBytes&) = delete;
    LockedBytes& operator=(const LockedBytes&) = delete;
    const std::uint8_t* get() const { return m_bytes; }

private:
    HGLOBAL m_block;
    const std::uint8_t* m_bytes;
};

bool isOwnFormat(imaging::PictureFormat format) {
    return format == imaging::PictureFormat::Jpeg || format == imaging::PictureFormat::Bmp ||
           format == imaging::PictureFormat::PackedDib;
}

// Metafiles are left to the system loader; the block goes to its stream.
fw::ComPtr<IPicture> loadMetafile(GlobalBlock block, DWORD size) {
    fw::ComPtr<IStream> stream;
    // The stream owns the block from here on and frees it when released.
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.receive())))
        return fw::ComPtr<IPicture>();
    (void)block.release();
    fw::ComPtr<IPicture> picture;
    HRESULT loaded = OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(picture.receive()));
    if (FAILED(loaded))
        picture.reset();
    return picture;
}

// One source file, either decoded by our own loader or held by the system's (metafiles).
struct SourcePicture {
    GlobalBlock block; // the file, while our loader still needs it
    DWORD size = 0;
    fw::ComPtr<IPicture> metafile;
    long hmWidth = 0;
    long hmHeight = 0;
};

bool openPicture(const std::string& path, SourcePicture& picture) {
    picture.block = readWholeFile(path, picture.size);
    if (!picture.block)
        return false;
    imaging::PictureInfo info;
    imaging::ImageError error = imaging::ImageError::UnknownFormat;
    bool safeMetafile = false;
    {
        LockedBytes bytes(picture.block.get());
        if (!bytes.get())
            return false;
        error = imaging::readPictureInfo(bytes.get(), picture.size, info);
        // The system loader believes what a header says; a lying one must not get that far.
        safeMetafile = info.format == imaging::PictureFormat::Wmf && isSafeForSystemLoader(bytes.get(), picture.size);
    }
    if (isOwnFormat(info.format)) {
        if (error != imaging::ImageError::None)
            return false;
        // The size the system loader reports for a 96-dpi picture, so the fit is the same as ever.
        picture.hmWidth = pixelsToHimetric(info.width, kPictureDpi);
        picture.hmHeight = pixelsToHimetric(info.height, kPictureDpi);
        return true;
    }
    if (!safeMetafile)
        return false;
    picture.metafile = loadMetafile(std::move(picture.block), picture.size);
    if (!picture.metafile)
        return false;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    if (FAILED(picture.metafile->get_Width(&hmWidth)) || FAILED(picture.metafile->get_Height(&hmHeight)))
        return false;
    picture.hmWidth = hmWidth;
    picture.hmHeight = hmHeight;
    return true;
}

// Our loader's pixels at exactly the drawn size.
bool decodeToSize(const SourcePicture& picture, int width, int height, imaging::Image& image,
                  const imaging::StopSignal* stop) {
    LockedBytes bytes(picture.block.get());
    if (!bytes.get())
        return false;
    imaging::PictureInfo info;
    return imaging::decodePictureToSize(bytes.get(), picture.size, width, height, image, &info, stop) ==
               imaging::ImageError::None &&
           image.width == width && image.height == height;
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

bool stopped(const imaging::StopSignal* stop) {
    return stop && stop->stopRequested();
}

// Draws the whole metafile upright into the rectangle: the source rectangle is given bottom-up.
bool renderMetafile(IPicture* picture, HDC dc, long hmWidth, long hmHeight, int x, int y, int width, int height) {
    // Bitmaps inside a metafile are stretched too: filtered, not ANDed together.
    (void)SetStretchBltMode(dc, HALFTONE);
    (void)SetBrushOrgEx(dc, 0, 0, nullptr);
    return SUCCEEDED(picture->Render(dc, x, y, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr));
}

} // namespace

bool convertPicture(const std::string& sourcePath, const std::string& outputPath, int targetSize, HWND referenceWindow,
                    const imaging::StopSignal* stop) {
    // A bad size fails before any work is done.
    if (targetSize < 1 || targetSize > kMaxTargetSize)
        return false;
    // Polled here and between the long steps; the decoders poll while they read.
    if (stopped(stop))
        return false;
    SourcePicture picture;
    if (!openPicture(sourcePath, picture))
        return false;

    MemoryDC memory(CreateCompatibleDC(nullptr));
    if (!memory)
        return false;
    long pixelWidth = himetricToPixels(picture.hmWidth, GetDeviceCaps(memory.get(), LOGPIXELSX));
    long pixelHeight = himetricToPixels(picture.hmHeight, GetDeviceCaps(memory.get(), LOGPIXELSY));
    auto plan = planFit(picture.hmWidth, picture.hmHeight, pixelWidth, pixelHeight, targetSize);
    if (!plan)
        return false;
    imaging::Image pixels;
    if (!picture.metafile) {
        if (!decodeToSize(picture, plan->drawWidth, plan->drawHeight, pixels, stop))
            return false;
        picture.block.reset();
    }
    if (stopped(stop))
        return false;
    if (plan->letterBox)
        Trace(text::kTracePreserving, sourcePath.c_str());

    fw::Bitmap bitmap;
    {
        // Compatible with the dialog's display, so the cache file has the display's colour depth.
        fw::WindowDC screen(referenceWindow);
        if (!screen.get())
            return false;
        bitmap.reset(CreateCompatibleBitmap(screen.get(), plan->bitmapWidth, plan->bitmapHeight));
    }
    if (!bitmap)
        return false;
    {
        fw::SelectObjectScope selected(memory.get(), bitmap.get());
        RECT whole{0, 0, plan->bitmapWidth, plan->bitmapHeight};
        if (plan->letterBox) {
            fw::Brush black(CreateSolidBrush(RGB(0, 0, 0)));
            (void)FillRect(memory.get(), &whole, black.get());
        }
        const bool drawn = picture.metafile
                               ? renderMetafile(picture.metafile.get(), memory.get(), picture.hmWidth, picture.hmHeight,
                                                plan->drawX, plan->drawY, plan->drawWidth, plan->drawHeight)
                               : drawPixels(memory.get(), pixels, plan->drawX, plan->drawY);
        if (!drawn)
            return false;
        if (plan->letterBox) {
            fw::Brush frame(CreateSolidBrush(RGB(64, 64, 64)));
            (void)FrameRect(memory.get(), &whole, frame.get());
        }
    }

    BitmapInfoBlock info = createBitmapInfo(bitmap.get());
    if (!info || stopped(stop))
        return false;
    return writeBmpFile(outputPath, info.get(), bitmap.get(), memory.get());
}

} // namespace library
