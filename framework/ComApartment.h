// COM on the calling thread while the object lives, for the threads that use the shell's folder browser
// or the system picture loader (which may create COM objects: Wine decodes JPEG through WIC).
#pragma once

#include <windows.h>
#include <objbase.h>

namespace fw {

class ComApartment {
public:
    ComApartment() : m_joined(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (m_joined)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_joined;
};

} // namespace fw
