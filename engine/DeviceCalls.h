// The device calls that tell and mend a lost device: the device's own, unless a test puts in its own
// (a device that is lost after some frames, a reset that refuses a thread other than the device's).
#pragma once

#include "d3dx/D3DX8.h"

namespace engine {

struct DeviceCalls {
    using Present = HRESULT (*)(IDirect3DDevice8* device);
    using TestCooperativeLevel = HRESULT (*)(IDirect3DDevice8* device);
    using Reset = HRESULT (*)(IDirect3DDevice8* device, D3DPRESENT_PARAMETERS* params);

    static HRESULT devicePresent(IDirect3DDevice8* device) {
        return device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    static HRESULT deviceTestCooperativeLevel(IDirect3DDevice8* device) { return device->TestCooperativeLevel(); }
    static HRESULT deviceReset(IDirect3DDevice8* device, D3DPRESENT_PARAMETERS* params) {
        return device->Reset(params);
    }

    Present present = devicePresent;
    TestCooperativeLevel testCooperativeLevel = deviceTestCooperativeLevel;
    Reset reset = deviceReset;
};

} // namespace engine
