#include "library/ImageConversion.h"

#include "app/Trace.h"
#include "framework/Handles.h"
#include "library/BmpFile.h"
#include "library/FitGeometry.h"
#include "library/LibraryText.h"
#include "library/SourceScreen.h"

#include <ocidl.h>
#include <olectl.h>

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

fw::ComPtr<IPicture> loadPicture(const std::string& path) {
    DWORD size = 0;
    GlobalBlock block = readWholeFile(path, size);
    if (!block)
        return fw::ComPtr<IPicture>();
    // The system loader believes what a header says; a lying one must not get that far.
    const void* bytes = GlobalLock(block.get());
    const bool safe = bytes && isSafeForSystemLoader(static_cast<const std::uint8_t*>(bytes), size);
    (void)GlobalUnlock(block.get());
    if (!safe)
        return fw::ComPtr<IPicture>();
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

// Draws the whole picture upright into the rectangle: the source rectangle is given bottom-up.
bool renderPicture(IPicture* picture, HDC dc, long hmWidth, long hmHeight, int x, int y, int width, int height) {
    return SUCCEEDED(picture->Render(dc, x, y, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr));
}

} // namespace

bool convertPicture(const std::string& sourcePath, const std::string& outputPath, int targetSize,
                    HWND referenceWindow, const imaging::StopSignal* stop) {
    (void)stop;
    // A bad size fails before any work is done.
    if (targetSize < 1 || targetSize > kMaxTargetSize)
        return false;
    fw::ComPtr<IPicture> picture = loadPicture(sourcePath);
    if (!picture)
        return false;

    MemoryDC memory(CreateCompatibleDC(nullptr));
    if (!memory)
        return false;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    if (FAILED(picture->get_Width(&hmWidth)) || FAILED(picture->get_Height(&hmHeight)))
        return false;
    long pixelWidth = himetricToPixels(hmWidth, GetDeviceCaps(memory.get(), LOGPIXELSX));
    long pixelHeight = himetricToPixels(hmHeight, GetDeviceCaps(memory.get(), LOGPIXELSY));
    auto plan = planFit(hmWidth, hmHeight, pixelWidth, pixelHeight, targetSize);
    if (!plan)
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
        if (plan->letterBox) {
            RECT whole{0, 0, plan->bitmapWidth, plan->bitmapHeight};
            fw::Brush black(CreateSolidBrush(RGB(0, 0, 0)));
            (void)FillRect(memory.get(), &whole, black.get());
            if (!renderPicture(picture.get(), memory.get(), hmWidth, hmHeight, plan->drawX, plan->drawY,
                               plan->drawWidth, plan->drawHeight))
                return false;
            fw::Brush frame(CreateSolidBrush(RGB(64, 64, 64)));
            (void)FrameRect(memory.get(), &whole, frame.get());
        } else if (!renderPicture(picture.get(), memory.get(), hmWidth, hmHeight, 0, 0, plan->drawWidth,
                                  plan->drawHeight)) {
            return false;
        }
    }

    BitmapInfoBlock info = createBitmapInfo(bitmap.get());
    if (!info)
        return false;
    return writeBmpFile(outputPath, info.get(), bitmap.get(), memory.get());
}

} // namespace library
