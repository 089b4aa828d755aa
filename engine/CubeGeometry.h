// The unit cube the engine draws: 24 vertices, four per face, each face a two-triangle strip.
#pragma once

namespace cube {

// Flexible vertex format XYZ | TEX1: 20 bytes.
struct CubeVertex {
    float x, y, z;
    float tu, tv; // (0, 0) is the picture's top-left; tv grows downward
};
static_assert(sizeof(CubeVertex) == 20, "the vertex buffer stride is 20 bytes");

inline constexpr unsigned kCubeFvf = 0x102; // D3DFVF_XYZ | D3DFVF_TEX1
inline constexpr int kFaceCount = 6;
inline constexpr int kVerticesPerFace = 4;
inline constexpr int kVertexCount = kFaceCount * kVerticesPerFace;

// Faces 0 front (z = -0.5), 1 back, 2 left, 3 right, 4 top, 5 bottom; 0/1, 2/3, 4/5 are opposite.
// Each strip's first triangle runs clockwise seen from outside.
void buildCubeVertices(CubeVertex (&vertices)[kVertexCount]);

} // namespace cube
