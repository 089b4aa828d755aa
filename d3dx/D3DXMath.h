// The D3DX matrix helpers the engine draws with: standard left-handed matrices for row vectors
// (a point is transformed as p * M). Portable, so the geometry is tested natively.
#pragma once

// Same layout as D3DMATRIX: sixteen floats, row by row, translation in the last row.
struct D3DXMATRIX {
    float m[4][4];
};

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
// Vertical field of view in radians, aspect = width / height; depth maps zn..zf to 0..1.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf);
// Roll about z first, then pitch about x, then yaw about y.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
// out = a * b (a applied first); out may be a or b.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
