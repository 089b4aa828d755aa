// Which sides of the view volume a face's vertices lie beyond, computed on the CPU: some drivers
// (Wine's among them) never fill in the device's clip status.
#pragma once

#include "d3dx/D3DXMath.h"
#include "engine/CubeGeometry.h"

namespace cube {

// A vertex in clip space: (x, y, z, 1) times world x view x projection.
struct ClipPoint {
    float x, y, z, w;
};
ClipPoint toClipSpace(const D3DXMATRIX& transform, const CubeVertex& vertex);

// The union of the left, right, top and bottom bits (motion::kClip...) over the vertices:
// x < -w left, x > w right, y > w top, y < -w bottom.
unsigned clipUnion(const D3DXMATRIX& transform, const CubeVertex* vertices, int count);

// Width over height for the projection; 1 for a size that is not positive.
float viewAspect(int width, int height);

// Screen row of a clip-space point in a viewport of the given height (0 at the top).
float screenY(const ClipPoint& point, float viewportHeight);

} // namespace cube
