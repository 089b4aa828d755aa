#include "tests/support/HiddenDevice.h"

namespace support {

HiddenDevice::HiddenDevice() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PrismataHiddenDeviceWindow";
    RegisterClassA(&wc); // fails harmlessly for the second device of a process
    m_window = CreateWindowExA(0, wc.lpszClassName, "hidden device", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr,
                               nullptr, wc.hInstance, nullptr);
    m_d3d.reset(m_library.create(d3dx::kD3DSdkVersion));
    if (!m_d3d)
        return;
    D3DDISPLAYMODE mode{};
    m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    D3DPRESENT_PARAMETERS params{};
    params.Windowed = TRUE;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.BackBufferFormat = mode.Format;
    params.BackBufferWidth = 64;
    params.BackBufferHeight = 64;
    // Loader threads create textures on it while the test thread looks on.
    m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window,
                        D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &params, m_device.receive());
}

HiddenDevice::~HiddenDevice() {
    m_device.reset();
    m_d3d.reset();
    if (m_window)
        DestroyWindow(m_window);
}

} // namespace support
