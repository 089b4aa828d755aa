// What the engine uses of Direct3D 8 and of our D3DX layer, in one include.
#pragma once

#include "d3dx/D3D8Library.h"
#include "d3dx/D3DXMath.h"
#include "d3dx/D3DXTexture.h"
#include "d3dx/DXErr.h"

#include <d3d8.h>

// D3DXMATRIX and D3DMATRIX are both sixteen floats row by row.
static_assert(sizeof(D3DXMATRIX) == sizeof(D3DMATRIX), "matrix layouts differ");
inline const D3DMATRIX* asD3DMatrix(const D3DXMATRIX& matrix) {
    return reinterpret_cast<const D3DMATRIX*>(&matrix);
}
