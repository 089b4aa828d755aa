#include "d3dx/D3DResultNames.h"

namespace {

constexpr std::int32_t code(std::uint32_t value) {
    return static_cast<std::int32_t>(value);
}
// MAKE_D3DHRESULT / MAKE_DDHRESULT: severity 1, facility 0x876.
constexpr std::int32_t d3d(std::uint32_t number) {
    return code(0x88760000u | number);
}
// HRESULT_FROM_WIN32.
constexpr std::int32_t win32(std::uint32_t number) {
    return code(0x80070000u | number);
}

struct ResultName {
    std::int32_t result;
    const char* name;
};

constexpr ResultName kNames[] = {
    {0, "S_OK"},
    {1, "S_FALSE"},
    // Direct3D 8.
    {d3d(2072), "D3DERR_WRONGTEXTUREFORMAT"},
    {d3d(2073), "D3DERR_UNSUPPORTEDCOLOROPERATION"},
    {d3d(2074), "D3DERR_UNSUPPORTEDCOLORARG"},
    {d3d(2075), "D3DERR_UNSUPPORTEDALPHAOPERATION"},
    {d3d(2076), "D3DERR_UNSUPPORTEDALPHAARG"},
    {d3d(2077), "D3DERR_TOOMANYOPERATIONS"},
    {d3d(2078), "D3DERR_CONFLICTINGTEXTUREFILTER"},
    {d3d(2079), "D3DERR_UNSUPPORTEDFACTORVALUE"},
    {d3d(2081), "D3DERR_CONFLICTINGRENDERSTATE"},
    {d3d(2082), "D3DERR_UNSUPPORTEDTEXTUREFILTER"},
    {d3d(2086), "D3DERR_CONFLICTINGTEXTUREPALETTE"},
    {d3d(2087), "D3DERR_DRIVERINTERNALERROR"},
    {d3d(2150), "D3DERR_NOTFOUND"},
    {d3d(2151), "D3DERR_MOREDATA"},
    {d3d(2152), "D3DERR_DEVICELOST"},
    {d3d(2153), "D3DERR_DEVICENOTRESET"},
    {d3d(2154), "D3DERR_NOTAVAILABLE"},
    {d3d(380), "D3DERR_OUTOFVIDEOMEMORY"},
    {d3d(2155), "D3DERR_INVALIDDEVICE"},
    {d3d(2156), "D3DERR_INVALIDCALL"},
    {d3d(2157), "D3DERR_DRIVERINVALIDCALL"},
    // D3DX 8.
    {d3d(2900), "D3DXERR_CANNOTMODIFYINDEXBUFFER"},
    {d3d(2901), "D3DXERR_INVALIDMESH"},
    {d3d(2902), "D3DXERR_CANNOTATTRSORT"},
    {d3d(2903), "D3DXERR_SKINNINGNOTSUPPORTED"},
    {d3d(2904), "D3DXERR_TOOMANYINFLUENCES"},
    {d3d(2905), "D3DXERR_INVALIDDATA"},
    {d3d(2906), "D3DXERR_LOADEDMESHASNODATA"},
    // The generic COM results both libraries pass on.
    {code(0x80004001u), "E_NOTIMPL"},
    {code(0x80004002u), "E_NOINTERFACE"},
    {code(0x80004003u), "E_POINTER"},
    {code(0x80004004u), "E_ABORT"},
    {code(0x80004005u), "E_FAIL"},
    {code(0x8000FFFFu), "E_UNEXPECTED"},
    {code(0x8000000Au), "E_PENDING"},
    {win32(5), "E_ACCESSDENIED"},
    {win32(6), "E_HANDLE"},
    {win32(14), "E_OUTOFMEMORY"},
    {win32(87), "E_INVALIDARG"},
    // File results of the texture-from-file path.
    {win32(2), "ERROR_FILE_NOT_FOUND"},
    {win32(3), "ERROR_PATH_NOT_FOUND"},
    {win32(32), "ERROR_SHARING_VIOLATION"},
    {win32(206), "ERROR_FILENAME_EXCED_RANGE"},
};

} // namespace

const char* d3dResultName(std::int32_t result) {
    for (const ResultName& entry : kNames)
        if (entry.result == result)
            return entry.name;
    return "Unknown";
}
