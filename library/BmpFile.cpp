#include "library/BmpFile.h"

#include "framework/Handles.h"
#include "library/BmpLayout.h"

#include <cstring>

namespace library {

namespace {

bool writeAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

size_t infoBytes(const BITMAPINFOHEADER& header) {
    return sizeof(BITMAPINFOHEADER) + 4u * header.biClrUsed;
}

} // namespace

BitmapInfoBlock createBitmapInfo(HBITMAP bitmap) {
    BITMAP bm{};
    if (!GetObjectA(bitmap, sizeof bm, &bm))
        return nullptr;
    auto description = describeBitmap(bm.bmWidth, bm.bmHeight, bm.bmPlanes, bm.bmBitsPixel);
    if (!description)
        return nullptr;

    const size_t size = sizeof(BITMAPINFOHEADER) + 4u * description->clrUsed;
    BitmapInfoBlock info(static_cast<BITMAPINFO*>(LocalAlloc(LPTR, size)));
    if (!info)
        return nullptr;
    // The header bytes are the file's own, so the block and the file agree field by field.
    auto header = encodeInfoHeader(*description);
    static_assert(sizeof(BITMAPINFOHEADER) == kInfoHeaderSize, "the header is the file's 40 bytes");
    std::memcpy(&info->bmiHeader, header.data(), header.size());
    return info;
}

bool writeBmpFile(const std::string& path, BITMAPINFO* info, HBITMAP bitmap, HDC dc) {
    BITMAPINFOHEADER& header = info->bmiHeader;
    const DWORD sizeImage = header.biSizeImage;
    const DWORD clrUsed = header.biClrUsed;
    fw::GlobalMemory pixels(GlobalAlloc(GMEM_FIXED, sizeImage)); // fixed: the handle is the address
    if (!pixels)
        return false;
    if (!GetDIBits(dc, bitmap, 0, static_cast<UINT>(header.biHeight), pixels.get(), info, DIB_RGB_COLORS))
        return false;
    // The file layout follows the block that was allocated, whatever GetDIBits made of these two fields.
    header.biSizeImage = sizeImage;
    header.biClrUsed = clrUsed;

    bool complete = false;
    {
        fw::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        auto fileHeader = encodeFileHeader(header.biSize, header.biClrUsed, header.biSizeImage);
        complete = writeAll(file.get(), fileHeader.data(), static_cast<DWORD>(fileHeader.size())) &&
                   writeAll(file.get(), info, static_cast<DWORD>(infoBytes(header))) &&
                   writeAll(file.get(), pixels.get(), sizeImage);
        complete = CloseHandle(file.release()) && complete;
    }
    if (!complete)
        (void)DeleteFileA(path.c_str());
    return complete;
}

} // namespace library
