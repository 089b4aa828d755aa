// Symbolic names of the result codes Direct3D 8 and D3DX 8 return, as DXGetErrorString8A gives them.
#pragma once

#include <cstdint>

// "Unknown" for a code outside the table.
const char* d3dResultName(std::int32_t result);
