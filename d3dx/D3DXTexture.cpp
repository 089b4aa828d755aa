#include "d3dx/D3DXTexture.h"

#include "d3dx/TextureSizing.h"
#include "framework/Handles.h"
#include "imaging/MetafileCheck.h"
#include "imaging/MipChain.h"
#include "imaging/PictureDecoder.h"
#include "imaging/PixelPack.h"
#include "imaging/Scale.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace {

// A texture of 4096 x 4096 with its mips already takes 85 MB in the managed pool (and as much again in
// system memory); TextureSize values beyond that are mistakes.
constexpr UINT kMaxTextureSide = 4096;
// The size a metafile without a placeable header is drawn at when the caller leaves the size open.
constexpr int kDefaultMetafileSide = 256;

HRESULT failureFor(imaging::ImageError error) {
    switch (error) {
    case imaging::ImageError::OutOfMemory:
        return E_OUTOFMEMORY;
    case imaging::ImageError::Cancelled:
        return E_ABORT;
    default:
        return D3DXERR_INVALIDDATA;
    }
}

bool stopped(const imaging::StopSignal* stop) {
    return stop && stop->stopRequested();
}

HRESULT readWholeFile(const char* path, std::vector<std::uint8_t>& data, const imaging::StopSignal* stop) {
    fw::KernelHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        (void)file.release(); // INVALID_HANDLE_VALUE is not ours to close
        return D3DXERR_INVALIDDATA;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        std::uint64_t(size.QuadPart) > imaging::kMaxPictureFileBytes)
        return D3DXERR_INVALIDDATA;
    data.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < data.size()) {
        // Chunks small enough that a stop is seen within a few milliseconds even on a slow disk.
        if (stopped(stop))
            return E_ABORT;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 20));
        DWORD read = 0;
        if (!ReadFile(file.get(), data.data() + done, chunk, &read, nullptr) || read == 0)
            return D3DXERR_INVALIDDATA;
        done += read;
    }
    return S_OK;
}

bool packedFormatOf(D3DFORMAT format, imaging::PackedFormat& packed) {
    switch (format) {
    case D3DFMT_X8R8G8B8:
        packed = imaging::PackedFormat::X8R8G8B8;
        return true;
    case D3DFMT_A8R8G8B8:
        packed = imaging::PackedFormat::A8R8G8B8;
        return true;
    case D3DFMT_R8G8B8:
        packed = imaging::PackedFormat::R8G8B8;
        return true;
    case D3DFMT_R5G6B5:
        packed = imaging::PackedFormat::R5G6B5;
        return true;
    case D3DFMT_X1R5G5B5:
        packed = imaging::PackedFormat::X1R5G5B5;
        return true;
    case D3DFMT_A1R5G5B5:
        packed = imaging::PackedFormat::A1R5G5B5;
        return true;
    case D3DFMT_A4R4G4B4:
        packed = imaging::PackedFormat::A4R4G4B4;
        return true;
    case D3DFMT_X4R4G4B4:
        packed = imaging::PackedFormat::X4R4G4B4;
        return true;
    default:
        return false;
    }
}

// The wanted format if the device can make textures of it, else the first of a few common ones it can.
D3DFORMAT usableFormat(IDirect3DDevice8* device, D3DFORMAT wanted, DWORD usage) {
    fw::ComPtr<IDirect3D8> d3d;
    D3DDEVICE_CREATION_PARAMETERS creation{};
    D3DDISPLAYMODE mode{};
    imaging::PackedFormat packed;
    const bool canAsk = SUCCEEDED(device->GetDirect3D(d3d.receive())) &&
                        SUCCEEDED(device->GetCreationParameters(&creation)) && SUCCEEDED(device->GetDisplayMode(&mode));
    const D3DFORMAT candidates[] = {wanted,          D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5,
                                    D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4};
    for (D3DFORMAT format : candidates) {
        if (!packedFormatOf(format, packed))
            continue;
        if (!canAsk || SUCCEEDED(d3d->CheckDeviceFormat(creation.AdapterOrdinal, creation.DeviceType, mode.Format,
                                                        usage, D3DRTYPE_TEXTURE, format)))
            return format;
    }
    return D3DFMT_X8R8G8B8;
}

D3DFORMAT sourceFormatOf(const imaging::PictureInfo& info) {
    if (info.format == imaging::PictureFormat::Jpeg)
        return info.components == 1 ? D3DFMT_L8 : D3DFMT_X8R8G8B8;
    switch (info.bitsPerPixel) {
    case 1:
    case 4:
    case 8:
        return D3DFMT_P8;
    case 16:
        return D3DFMT_X1R5G5B5;
    case 24:
        return D3DFMT_R8G8B8;
    default:
        return D3DFMT_X8R8G8B8;
    }
}

// Windows metafiles, drawn by GDI into a 32-bit bitmap of the texture's size on a white ground.
class MetafilePicture {
public:
    MetafilePicture() = default;
    MetafilePicture(const MetafilePicture&) = delete;
    MetafilePicture& operator=(const MetafilePicture&) = delete;
    bool open(const std::uint8_t* data, std::size_t size) {
        // The system's metafile player believes every count in the records.
        if (!imaging::isSoundMetafile(data, size))
            return false;
        const bool placeable = size >= 22 && data[0] == 0xD7 && data[1] == 0xCD && data[2] == 0xC6 && data[3] == 0x9A;
        if (placeable) {
            const auto s16 = [data](int at) { return int(std::int16_t(data[at] | (data[at + 1] << 8))); };
            const int inch = data[14] | (data[15] << 8);
            const int width = s16(10) - s16(6);
            const int height = s16(12) - s16(8);
            if (inch <= 0 || width <= 0 || height <= 0)
                return false;
            METAFILEPICT picture{MM_ANISOTROPIC, width * 2540 / inch, height * 2540 / inch, nullptr};
            m_emf = SetWinMetaFileBits(static_cast<UINT>(size - 22), data + 22, nullptr, &picture);
            m_width = std::max(1, width * 96 / inch);
            m_height = std::max(1, height * 96 / inch);
        } else {
            m_emf = SetWinMetaFileBits(static_cast<UINT>(size), data, nullptr, nullptr);
            m_width = m_height = kDefaultMetafileSide;
        }
        return m_emf != nullptr;
    }
    ~MetafilePicture() {
        if (m_emf)
            (void)DeleteEnhMetaFile(m_emf);
    }
    int width() const { return m_width; }
    int height() const { return m_height; }

    bool render(int width, int height, imaging::Image& out) const {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down, like our images
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        fw::Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        struct MemoryDC {
            HDC dc = CreateCompatibleDC(nullptr);
            ~MemoryDC() {
                if (dc)
                    (void)DeleteDC(dc);
            }
        } memory;
        if (!bitmap || !bits || !memory.dc)
            return false;
        {
            fw::SelectObjectScope select(memory.dc, bitmap.get());
            RECT rect{0, 0, width, height};
            (void)FillRect(memory.dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            if (!PlayEnhMetaFile(memory.dc, m_emf, &rect))
                return false;
            (void)GdiFlush();
        }
        out.width = width;
        out.height = height;
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        out.pixels.assign(pixels, pixels + std::size_t(width) * height);
        for (std::uint32_t& p : out.pixels)
            p |= 0xFF000000u;
        return true;
    }

private:
    HENHMETAFILE m_emf = nullptr;
    int m_width = 0;
    int m_height = 0;
};

struct TextureRequest {
    UINT width;
    UINT height;
    UINT mipLevels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    D3DCOLOR colorKey;
};

HRESULT fillLevels(IDirect3DTexture8* texture, const std::vector<imaging::Image>& chain, imaging::PackedFormat format) {
    for (std::size_t level = 0; level < chain.size(); ++level) {
        D3DLOCKED_RECT locked{};
        HRESULT hr = texture->LockRect(static_cast<UINT>(level), &locked, nullptr, 0);
        if (FAILED(hr))
            return hr;
        imaging::packImage(chain[level], format, locked.pBits, locked.Pitch);
        (void)texture->UnlockRect(static_cast<UINT>(level));
    }
    return S_OK;
}

// Decodes, scales and uploads; *texture is set only on success.
HRESULT createFromMemory(IDirect3DDevice8* device, const std::uint8_t* data, std::size_t size, TextureRequest request,
                         D3DXIMAGE_INFO* sourceInfo, IDirect3DTexture8** texture, const imaging::StopSignal* stop) {
    D3DCAPS8 caps{};
    if (FAILED(device->GetDeviceCaps(&caps)))
        return D3DERR_INVALIDCALL;
    const bool powerOfTwo = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
    const d3dx::TextureLimits widthLimits{
        std::min(kMaxTextureSide, caps.MaxTextureWidth ? UINT(caps.MaxTextureWidth) : 256u), powerOfTwo};
    const d3dx::TextureLimits heightLimits{
        std::min(kMaxTextureSide, caps.MaxTextureHeight ? UINT(caps.MaxTextureHeight) : 256u), powerOfTwo};
    const bool widthOpen = request.width == D3DX_DEFAULT;
    const bool heightOpen = request.height == D3DX_DEFAULT;
    const UINT askedWidth = widthOpen ? 1 : d3dx::textureSideFor(request.width, widthLimits);
    const UINT askedHeight = heightOpen ? 1 : d3dx::textureSideFor(request.height, heightLimits);
    if (askedWidth == 0 || askedHeight == 0)
        return D3DERR_INVALIDCALL;

    imaging::PictureInfo info;
    imaging::Image picture;
    imaging::ImageError error = imaging::readPictureInfo(data, size, info);
    MetafilePicture metafile;
    if (info.format == imaging::PictureFormat::Wmf) {
        if (!metafile.open(data, size))
            return D3DXERR_INVALIDDATA;
        info.width = metafile.width();
        info.height = metafile.height();
    } else if (error != imaging::ImageError::None) {
        return failureFor(error);
    }

    UINT width = widthOpen ? std::min(d3dx::roundUpToPowerOfTwo(UINT(info.width)), widthLimits.maxSide) : askedWidth;
    UINT height =
        heightOpen ? std::min(d3dx::roundUpToPowerOfTwo(UINT(info.height)), heightLimits.maxSide) : askedHeight;
    if (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY)
        width = height = std::max(width, height);

    if (info.format == imaging::PictureFormat::Wmf) {
        const int drawWidth = widthOpen ? metafile.width() : int(width);
        const int drawHeight = heightOpen ? metafile.height() : int(height);
        if (std::uint64_t(drawWidth) * std::uint64_t(drawHeight) > imaging::kMaxImagePixels ||
            !metafile.render(drawWidth, drawHeight, picture))
            return D3DXERR_INVALIDDATA;
        if (UINT(picture.width) != width || UINT(picture.height) != height)
            picture = imaging::scaleTriangle(picture, int(width), int(height));
    } else if (request.colorKey != 0) {
        // The key picks source pixels, before any filtering blends them with their neighbours.
        error = imaging::decodePicture(data, size, width, height, picture, &info, stop);
        if (error != imaging::ImageError::None)
            return failureFor(error);
        for (std::uint32_t& p : picture.pixels)
            if ((p | 0xFF000000u) == request.colorKey)
                p = 0;
        if (UINT(picture.width) != width || UINT(picture.height) != height)
            picture = imaging::scaleTriangle(picture, int(width), int(height));
    } else {
        // Straight to the texture's size: the working memory stays bounded whatever the picture's size.
        error = imaging::decodePictureToSize(data, size, int(width), int(height), picture, &info, stop);
        if (error != imaging::ImageError::None)
            return failureFor(error);
    }
    if (stopped(stop))
        return E_ABORT;
    const UINT fullLevels = UINT(imaging::fullMipCount(int(width), int(height)));
    const UINT levels = request.mipLevels == 0 || request.mipLevels == D3DX_DEFAULT
                            ? fullLevels
                            : std::min(request.mipLevels, fullLevels);
    std::vector<imaging::Image> chain = imaging::makeMipChain(std::move(picture), int(levels));

    D3DFORMAT wanted = request.format;
    if (wanted == D3DFMT_UNKNOWN)
        wanted = request.colorKey != 0 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    const D3DFORMAT format = usableFormat(device, wanted, request.usage);
    imaging::PackedFormat packed = imaging::PackedFormat::X8R8G8B8;
    (void)packedFormatOf(format, packed);

    fw::ComPtr<IDirect3DTexture8> result;
    HRESULT hr = device->CreateTexture(width, height, levels, request.usage, format, request.pool, result.receive());
    if (FAILED(hr))
        return hr;
    if (request.pool == D3DPOOL_DEFAULT) {
        // Default-pool textures cannot be locked: fill a system-memory copy and let the device copy it.
        fw::ComPtr<IDirect3DTexture8> staging;
        hr = device->CreateTexture(width, height, levels, 0, format, D3DPOOL_SYSTEMMEM, staging.receive());
        if (SUCCEEDED(hr))
            hr = fillLevels(staging.get(), chain, packed);
        if (SUCCEEDED(hr))
            hr = device->UpdateTexture(staging.get(), result.get());
    } else {
        hr = fillLevels(result.get(), chain, packed);
    }
    if (FAILED(hr))
        return hr;

    if (sourceInfo) {
        sourceInfo->Width = UINT(info.width);
        sourceInfo->Height = UINT(info.height);
        sourceInfo->Depth = 1;
        sourceInfo->MipLevels = 1;
        sourceInfo->Format = sourceFormatOf(info);
        sourceInfo->ResourceType = D3DRTYPE_TEXTURE;
        sourceInfo->ImageFileFormat = info.format == imaging::PictureFormat::Jpeg        ? D3DXIFF_JPG
                                      : info.format == imaging::PictureFormat::PackedDib ? D3DXIFF_DIB
                                                                                         : D3DXIFF_BMP;
    }
    result->AddRef(); // the caller's reference; ours goes with result
    *texture = result.get();
    return S_OK;
}

} // namespace

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileExA(IDirect3DDevice8* pDevice, LPCSTR pSrcFile, UINT Width,
                                                       UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                       D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                       D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                       IDirect3DTexture8** ppTexture) {
    (void)Filter;
    (void)MipFilter;
    (void)pPalette;
    return d3dx::createTextureFromFile(pDevice, pSrcFile, Width, Height, MipLevels, Usage, Format, Pool, ColorKey,
                                       pSrcInfo, ppTexture, nullptr);
}

HRESULT d3dx::createTextureFromFile(IDirect3DDevice8* device, const char* path, UINT width, UINT height, UINT mipLevels,
                                    DWORD usage, D3DFORMAT format, D3DPOOL pool, D3DCOLOR colorKey,
                                    D3DXIMAGE_INFO* sourceInfo, IDirect3DTexture8** texture,
                                    const imaging::StopSignal* stop) {
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device || !path)
        return D3DERR_INVALIDCALL;
    try {
        std::vector<std::uint8_t> data;
        HRESULT hr = readWholeFile(path, data, stop);
        if (FAILED(hr))
            return hr;
        return createFromMemory(device, data.data(), data.size(),
                                {width, height, mipLevels, usage, format, pool, colorKey}, sourceInfo, texture, stop);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT WINAPI D3DXCreateTextureFromResourceA(IDirect3DDevice8* pDevice, HMODULE hSrcModule,
                                                         LPCSTR pSrcResource, IDirect3DTexture8** ppTexture) {
    if (!ppTexture)
        return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    if (!pDevice)
        return D3DERR_INVALIDCALL;
    HRSRC found = FindResourceA(hSrcModule, pSrcResource, RT_BITMAP); // a packed DIB
    if (!found)
        found = FindResourceA(hSrcModule, pSrcResource, RT_RCDATA); // a whole picture file
    if (!found)
        return D3DXERR_INVALIDDATA;
    HGLOBAL loaded = LoadResource(hSrcModule, found);
    const auto* data = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
    const DWORD size = SizeofResource(hSrcModule, found);
    if (!data || size == 0)
        return D3DXERR_INVALIDDATA;
    try {
        return createFromMemory(pDevice, data, size,
                                {D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0},
                                nullptr, ppTexture, nullptr);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
