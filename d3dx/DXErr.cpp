#include "d3dx/DXErr.h"

#include "d3dx/D3DResultNames.h"

extern "C" const char* WINAPI DXGetErrorString8A(HRESULT result) {
    return d3dResultName(result);
}
