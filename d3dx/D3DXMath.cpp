#include "d3dx/D3DXMath.h"

#include <cmath>

namespace {
D3DXMATRIX rows(float a, float b, float c, float d, float e, float f, float g, float h, float i, float j, float k,
                float l, float m, float n, float o, float p) {
    return D3DXMATRIX{{{a, b, c, d}, {e, f, g, h}, {i, j, k, l}, {m, n, o, p}}};
}
} // namespace

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = rows(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf) {
    float yScale = 1.0f / std::tan(fovy * 0.5f);
    float xScale = yScale / aspect;
    float depth = zf / (zf - zn);
    *out = rows(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, depth, 1, 0, 0, -zn * depth, 0);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    float sy = std::sin(yaw), cy = std::cos(yaw);
    float sp = std::sin(pitch), cp = std::cos(pitch);
    float sr = std::sin(roll), cr = std::cos(roll);
    // Rz(roll) * Rx(pitch) * Ry(yaw), multiplied out.
    *out = rows(cr * cy + sr * sp * sy, sr * cp, -cr * sy + sr * sp * cy, 0, //
                -sr * cy + cr * sp * sy, cr * cp, sr * sy + cr * sp * cy, 0, //
                cp * sy, -sp, cp * cy, 0,                                    //
                0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    *out = rows(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX product;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            product.m[r][c] =
                a->m[r][0] * b->m[0][c] + a->m[r][1] * b->m[1][c] + a->m[r][2] * b->m[2][c] + a->m[r][3] * b->m[3][c];
    *out = product;
    return out;
}
