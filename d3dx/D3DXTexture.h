// Our D3DX 8 texture creation: picture files and bitmap resources decoded by the portable imaging code,
// scaled with a triangle filter, with a full mip chain.
#pragma once

#include <windows.h>

#include <d3d8.h>

#ifndef D3DX_DEFAULT
#define D3DX_DEFAULT ((UINT)-1)
#endif
#ifndef D3DX_FILTER_NONE
#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)
#define D3DX_FILTER_LINEAR (3 << 0)
#define D3DX_FILTER_TRIANGLE (4 << 0)
#define D3DX_FILTER_BOX (5 << 0)
#define D3DX_FILTER_MIRROR_U (1 << 16)
#define D3DX_FILTER_MIRROR_V (2 << 16)
#define D3DX_FILTER_MIRROR_W (4 << 16)
#define D3DX_FILTER_MIRROR (7 << 16)
#define D3DX_FILTER_DITHER (8 << 16)
#endif
#ifndef D3DXERR_INVALIDDATA
#define D3DXERR_INVALIDDATA MAKE_HRESULT(1, 0x876, 2905)
#endif

typedef enum _D3DXIMAGE_FILEFORMAT {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_FORCE_DWORD = 0x7fffffff
} D3DXIMAGE_FILEFORMAT;

typedef struct _D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
} D3DXIMAGE_INFO;

// BMP and DIB files (1 to 32 bits, RLE, bit fields), JPEG files and Windows metafiles, recognised by
// their content. Width and Height: the texture's size, the picture scaled to it whatever its shape;
// D3DX_DEFAULT takes the picture's size rounded up to a power of two; other sizes are rounded up to a
// power of two where the device needs one and clamped to its limit (and to 4096); 0 and sizes that were
// negative numbers are refused with D3DERR_INVALIDCALL, so a bad TextureSize fails cleanly.
// MipLevels 0 or D3DX_DEFAULT: the full chain. Format D3DFMT_UNKNOWN: X8R8G8B8 (A8R8G8B8 with a colour
// key); a format the device cannot use falls back to one it can. Every filter resamples with the
// triangle filter, mirrored at the edges. pPalette is not used: no palettised textures are made.
// A missing, unreadable or damaged file gives D3DXERR_INVALIDDATA.
extern "C" HRESULT WINAPI D3DXCreateTextureFromFileExA(IDirect3DDevice8* pDevice, LPCSTR pSrcFile, UINT Width,
                                                       UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                       D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                       D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                       IDirect3DTexture8** ppTexture);

namespace imaging {
class StopSignal;
}

namespace d3dx {
// D3DXCreateTextureFromFileExA with the triangle filter, no palette, and a stop signal polled between
// read chunks and decoded rows: once it is raised the call ends with E_ABORT and no texture.
HRESULT createTextureFromFile(IDirect3DDevice8* device, const char* path, UINT width, UINT height, UINT mipLevels,
                              DWORD usage, D3DFORMAT format, D3DPOOL pool, D3DCOLOR colorKey,
                              D3DXIMAGE_INFO* sourceInfo, IDirect3DTexture8** texture, const imaging::StopSignal* stop);
} // namespace d3dx

// A bitmap resource (RT_BITMAP), or a picture file held as RT_RCDATA, with every default: the picture's
// size, full mip chain, X8R8G8B8, managed pool.
extern "C" HRESULT WINAPI D3DXCreateTextureFromResourceA(IDirect3DDevice8* pDevice, HMODULE hSrcModule,
                                                         LPCSTR pSrcResource, IDirect3DTexture8** ppTexture);
