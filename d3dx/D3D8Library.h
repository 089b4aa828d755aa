// d3d8.dll, loaded at run time: mingw has no import library for it, and a system without
// Direct3D 8 must still show the failure text rather than refuse to start.
#pragma once

#include "framework/Handles.h"

#include <d3d8.h>

namespace d3dx {

// The SDK version the Direct3D 8 runtime expects (mingw's header says 220).
inline constexpr UINT kD3DSdkVersion = 120;

// Loads d3d8.dll from the system folder only (pinned for the life of the process) and makes the Direct3D
// object: a d3d8.dll in the current folder or beside a picture is never loaded.
class D3D8Library {
public:
    // Direct3DCreate8(sdkVersion), or null when the library or its export is missing.
    IDirect3D8* create(UINT sdkVersion);

private:
    fw::Library m_module;
};

} // namespace d3dx
