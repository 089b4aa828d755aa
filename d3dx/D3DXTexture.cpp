#include "d3dx/D3DXTexture.h"

#include "d3dx/MetafilePicture.h"
#include "d3dx/TextureSizing.h"
#include "framework/Handles.h"
#include "framework/WholeFile.h"
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

HRESULT readPictureFile(const char* path, std::vector<std::uint8_t>& data, const imaging::StopSignal* stop) {
    switch (fw::readWholeFile(path, imaging::kMaxPictureFileBytes, data, [stop] { return stopped(stop); })) {
    case fw::WholeFileRead::Read:
        return data.empty() ? D3DXERR_INVALIDDATA : S_OK;
    case fw::WholeFileRead::Stopped:
        return E_ABORT;
    case fw::WholeFileRead::OutOfMemory:
        return E_OUTOFMEMORY;
    default:
        return D3DXERR_INVALIDDATA;
    }
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

// How large the device lets a texture be.
struct DeviceLimits {
    d3dx::TextureLimits width;
    d3dx::TextureLimits height;
    bool squareOnly = false;
};

bool readDeviceLimits(IDirect3DDevice8* device, DeviceLimits& limits) {
    D3DCAPS8 caps{};
    if (FAILED(device->GetDeviceCaps(&caps)))
        return false;
    const bool powerOfTwo = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
    limits.width = {std::min(kMaxTextureSide, caps.MaxTextureWidth ? UINT(caps.MaxTextureWidth) : 256u), powerOfTwo};
    limits.height = {std::min(kMaxTextureSide, caps.MaxTextureHeight ? UINT(caps.MaxTextureHeight) : 256u), powerOfTwo};
    limits.squareOnly = (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0;
    return true;
}

// The header of our own formats, or the natural size of a metafile, which is opened for playing.
HRESULT readSource(const std::uint8_t* data, std::size_t size, imaging::PictureInfo& info,
                   d3dx::MetafilePicture& metafile) {
    const imaging::ImageError error = imaging::readPictureInfo(data, size, info);
    if (info.format == imaging::PictureFormat::Wmf) {
        if (!metafile.open(data, size))
            return D3DXERR_INVALIDDATA;
        info.width = metafile.width();
        info.height = metafile.height();
        return S_OK;
    }
    return error == imaging::ImageError::None ? S_OK : failureFor(error);
}

// The source's pixels at exactly width x height.
HRESULT decodeToTexture(const std::uint8_t* data, std::size_t size, const TextureRequest& request,
                        const d3dx::MetafilePicture& metafile, UINT width, UINT height, imaging::PictureInfo& info,
                        imaging::Image& picture, const imaging::StopSignal* stop) {
    if (info.format == imaging::PictureFormat::Wmf) {
        const int drawWidth = request.width == D3DX_DEFAULT ? metafile.width() : int(width);
        const int drawHeight = request.height == D3DX_DEFAULT ? metafile.height() : int(height);
        if (std::uint64_t(drawWidth) * std::uint64_t(drawHeight) > imaging::kMaxImagePixels ||
            !metafile.render(drawWidth, drawHeight, picture))
            return D3DXERR_INVALIDDATA;
    } else if (request.colorKey != 0) {
        // The key picks source pixels, before any filtering blends them with their neighbours.
        imaging::ImageError error = imaging::decodePicture(data, size, width, height, picture, &info, stop);
        if (error != imaging::ImageError::None)
            return failureFor(error);
        for (std::uint32_t& p : picture.pixels)
            if ((p | 0xFF000000u) == request.colorKey)
                p = 0;
    } else {
        // Straight to the texture's size: the working memory stays bounded whatever the picture's size.
        imaging::ImageError error =
            imaging::decodePictureToSize(data, size, int(width), int(height), picture, &info, stop);
        return error == imaging::ImageError::None ? S_OK : failureFor(error);
    }
    if (UINT(picture.width) != width || UINT(picture.height) != height)
        picture = imaging::scaleTriangle(picture, int(width), int(height));
    return S_OK;
}

// A texture of the request's pool holding the chain, in the format nearest the request the device takes.
HRESULT uploadChain(IDirect3DDevice8* device, const std::vector<imaging::Image>& chain, const TextureRequest& request,
                    UINT width, UINT height, UINT levels, fw::ComPtr<IDirect3DTexture8>& result) {
    D3DFORMAT wanted = request.format;
    if (wanted == D3DFMT_UNKNOWN)
        wanted = request.colorKey != 0 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    const D3DFORMAT format = usableFormat(device, wanted, request.usage);
    imaging::PackedFormat packed = imaging::PackedFormat::X8R8G8B8;
    (void)packedFormatOf(format, packed);

    HRESULT hr = device->CreateTexture(width, height, levels, request.usage, format, request.pool, result.receive());
    if (FAILED(hr))
        return hr;
    if (request.pool != D3DPOOL_DEFAULT)
        return fillLevels(result.get(), chain, packed);
    // Default-pool textures cannot be locked: fill a system-memory copy and let the device copy it.
    fw::ComPtr<IDirect3DTexture8> staging;
    hr = device->CreateTexture(width, height, levels, 0, format, D3DPOOL_SYSTEMMEM, staging.receive());
    if (SUCCEEDED(hr))
        hr = fillLevels(staging.get(), chain, packed);
    if (SUCCEEDED(hr))
        hr = device->UpdateTexture(staging.get(), result.get());
    return hr;
}

void describeSource(const imaging::PictureInfo& info, D3DXIMAGE_INFO& sourceInfo) {
    sourceInfo.Width = UINT(info.width);
    sourceInfo.Height = UINT(info.height);
    sourceInfo.Depth = 1;
    sourceInfo.MipLevels = 1;
    sourceInfo.Format = sourceFormatOf(info);
    sourceInfo.ResourceType = D3DRTYPE_TEXTURE;
    sourceInfo.ImageFileFormat = info.format == imaging::PictureFormat::Jpeg        ? D3DXIFF_JPG
                                 : info.format == imaging::PictureFormat::PackedDib ? D3DXIFF_DIB
                                                                                    : D3DXIFF_BMP;
}

// Decodes, scales and uploads; *texture is set only on success.
HRESULT createFromMemory(IDirect3DDevice8* device, const std::uint8_t* data, std::size_t size, TextureRequest request,
                         D3DXIMAGE_INFO* sourceInfo, IDirect3DTexture8** texture, const imaging::StopSignal* stop) {
    DeviceLimits limits;
    if (!readDeviceLimits(device, limits))
        return D3DERR_INVALIDCALL;
    const bool widthOpen = request.width == D3DX_DEFAULT;
    const bool heightOpen = request.height == D3DX_DEFAULT;
    const UINT askedWidth = widthOpen ? 1 : d3dx::textureSideFor(request.width, limits.width);
    const UINT askedHeight = heightOpen ? 1 : d3dx::textureSideFor(request.height, limits.height);
    if (askedWidth == 0 || askedHeight == 0)
        return D3DERR_INVALIDCALL;

    imaging::PictureInfo info;
    d3dx::MetafilePicture metafile;
    if (HRESULT hr = readSource(data, size, info, metafile); FAILED(hr))
        return hr;
    UINT width = widthOpen ? std::min(d3dx::roundUpToPowerOfTwo(UINT(info.width)), limits.width.maxSide) : askedWidth;
    UINT height =
        heightOpen ? std::min(d3dx::roundUpToPowerOfTwo(UINT(info.height)), limits.height.maxSide) : askedHeight;
    if (limits.squareOnly)
        width = height = std::max(width, height);

    imaging::Image picture;
    if (HRESULT hr = decodeToTexture(data, size, request, metafile, width, height, info, picture, stop); FAILED(hr))
        return hr;
    if (stopped(stop))
        return E_ABORT;
    const UINT fullLevels = UINT(imaging::fullMipCount(int(width), int(height)));
    const UINT levels = request.mipLevels == 0 || request.mipLevels == D3DX_DEFAULT
                            ? fullLevels
                            : std::min(request.mipLevels, fullLevels);
    const std::vector<imaging::Image> chain = imaging::makeMipChain(std::move(picture), int(levels));

    fw::ComPtr<IDirect3DTexture8> result;
    if (HRESULT hr = uploadChain(device, chain, request, width, height, levels, result); FAILED(hr))
        return hr;
    if (sourceInfo)
        describeSource(info, *sourceInfo);
    *texture = result.detach(); // the caller's reference
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
        HRESULT hr = readPictureFile(path, data, stop);
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
