// COM for one thread while the object lives. The system picture loader may create COM objects
// (Wine decodes JPEG through WIC), so a thread that converts pictures joins an apartment first.
#pragma once

#include <objbase.h>

namespace library {

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

} // namespace library
