// A hidden window with a windowed HAL Direct3D 8 device on it, for tests and benchmarks that load
// textures without showing anything.
#pragma once

#include "d3dx/D3D8Library.h"
#include "framework/Handles.h"

#include <windows.h>

namespace support {

class HiddenDevice {
public:
    HiddenDevice();
    ~HiddenDevice();
    HiddenDevice(const HiddenDevice&) = delete;
    HiddenDevice& operator=(const HiddenDevice&) = delete;

    // Null when the system has no Direct3D 8 or no device.
    IDirect3DDevice8* device() const { return m_device.get(); }
    HWND window() const { return m_window; }

private:
    HWND m_window = nullptr;
    d3dx::D3D8Library m_library;
    fw::ComPtr<IDirect3D8> m_d3d;
    fw::ComPtr<IDirect3DDevice8> m_device;
};

} // namespace support
