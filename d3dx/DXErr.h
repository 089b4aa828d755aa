// DXGetErrorString8A, ours: mingw's dxerr8 does not know the Direct3D 8 codes.
#pragma once

#include <windows.h>

extern "C" const char* WINAPI DXGetErrorString8A(HRESULT result);
