#include "engine/ClipBits.h"

#include "engine/Motion.h"

namespace cube {

ClipPoint toClipSpace(const D3DXMATRIX& t, const CubeVertex& v) {
    const auto& m = t.m;
    return ClipPoint{v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0] + m[3][0],
                     v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1] + m[3][1],
                     v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2] + m[3][2],
                     v.x * m[0][3] + v.y * m[1][3] + v.z * m[2][3] + m[3][3]};
}

unsigned clipUnion(const D3DXMATRIX& transform, const CubeVertex* vertices, int count) {
    unsigned bits = 0;
    for (int i = 0; i < count; ++i) {
        ClipPoint p = toClipSpace(transform, vertices[i]);
        if (p.x < -p.w)
            bits |= motion::kClipLeft;
        if (p.x > p.w)
            bits |= motion::kClipRight;
        if (p.y > p.w)
            bits |= motion::kClipTop;
        if (p.y < -p.w)
            bits |= motion::kClipBottom;
    }
    return bits;
}

float viewAspect(int width, int height) {
    if (width <= 0 || height <= 0)
        return 1.0f;
    return static_cast<float>(width) / static_cast<float>(height);
}

float screenY(const ClipPoint& point, float viewportHeight) {
    return (1.0f - point.y / point.w) * 0.5f * viewportHeight;
}

} // namespace cube
