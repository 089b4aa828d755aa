#include "engine/CubeGeometry.h"

namespace cube {

namespace {
constexpr float h = 0.5f;
constexpr float kPositions[kVertexCount][3] = {
    {-h, h, -h}, {h, h, -h},  {-h, -h, -h}, {h, -h, -h},  // front
    {h, h, h},   {-h, h, h},  {h, -h, h},   {-h, -h, h},  // back
    {-h, h, h},  {-h, h, -h}, {-h, -h, h},  {-h, -h, -h}, // left
    {h, h, -h},  {h, h, h},   {h, -h, -h},  {h, -h, h},   // right
    {-h, h, h},  {h, h, h},   {-h, h, -h},  {h, h, -h},   // top
    {h, -h, h},  {-h, -h, h}, {h, -h, -h},  {-h, -h, -h}, // bottom
};
// The same on every face; a picture lies a quarter turn clockwise until the upright pass turns it.
constexpr float kTexCoords[kVerticesPerFace][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
} // namespace

void buildCubeVertices(CubeVertex (&vertices)[kVertexCount]) {
    for (int i = 0; i < kVertexCount; ++i) {
        const float* p = kPositions[i];
        const float* t = kTexCoords[i % kVerticesPerFace];
        vertices[i] = CubeVertex{p[0], p[1], p[2], t[0], t[1]};
    }
}

} // namespace cube
