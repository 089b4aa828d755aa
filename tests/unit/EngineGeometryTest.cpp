// Matrices, cube geometry and the clip bits the edge bounce is computed from.
#include "d3dx/D3DXMath.h"
#include "engine/ClipBits.h"
#include "engine/CubeGeometry.h"
#include "engine/Motion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float kPi = 3.14159265358979f;

void expectMatrix(const D3DXMATRIX& actual, const float (&expected)[4][4], float tolerance = 1e-6f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected[r][c], tolerance) << "row " << r << " column " << c;
}

TEST(EngineGeometry, PerspectiveFovLH) {
    D3DXMATRIX m;
    EXPECT_EQ(D3DXMatrixPerspectiveFovLH(&m, kPi / 2, 2.0f, 1.0f, 101.0f), &m);
    expectMatrix(m, {{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1.01f, 1}, {0, 0, -1.01f, 0}});
    // The engine's own projection: 45 degrees, 4:3, near 1, far 100.
    D3DXMatrixPerspectiveFovLH(&m, 0.7853982f, 4.0f / 3.0f, 1.0f, 100.0f);
    expectMatrix(m, {{1.8106601f, 0, 0, 0}, {0, 2.4142136f, 0, 0}, {0, 0, 1.0101010f, 1}, {0, 0, -1.0101010f, 0}},
                 1e-5f);
}

TEST(EngineGeometry, YawPitchRollRollsThenPitchesThenYaws) {
    D3DXMATRIX m;
    const float c = std::cos(kPi / 6), s = 0.5f;
    D3DXMatrixRotationYawPitchRoll(&m, kPi / 6, 0, 0);
    expectMatrix(m, {{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}});
    D3DXMatrixRotationYawPitchRoll(&m, 0, kPi / 6, 0);
    expectMatrix(m, {{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}});
    D3DXMatrixRotationYawPitchRoll(&m, 0, 0, kPi / 6);
    expectMatrix(m, {{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    // x goes to y (roll), then to z (pitch), then back to x (yaw).
    D3DXMatrixRotationYawPitchRoll(&m, kPi / 2, kPi / 2, kPi / 2);
    expectMatrix(m, {{1, 0, 0, 0}, {0, 0, 1, 0}, {0, -1, 0, 0}, {0, 0, 0, 1}});
}

TEST(EngineGeometry, TranslationAndMultiply) {
    D3DXMATRIX t, r, m;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    expectMatrix(t, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 2, 3, 1}});
    // Rotate about the centre, then move: (1, 0, 0) yawed a quarter turn is (0, 0, -1), moved (1, 2, 2).
    D3DXMatrixRotationYawPitchRoll(&r, kPi / 2, 0, 0);
    EXPECT_EQ(D3DXMatrixMultiply(&m, &r, &t), &m);
    expectMatrix(m, {{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {1, 2, 3, 1}});
    cube::ClipPoint p = cube::toClipSpace(m, cube::CubeVertex{1, 0, 0, 0, 0});
    EXPECT_NEAR(p.x, 1, 1e-6f);
    EXPECT_NEAR(p.y, 2, 1e-6f);
    EXPECT_NEAR(p.z, 2, 1e-6f);
    EXPECT_EQ(p.w, 1);
    // The result may be one of the operands.
    D3DXMatrixMultiply(&t, &t, &t);
    expectMatrix(t, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {2, 4, 6, 1}});
}

TEST(EngineGeometry, CubeFacesAreUnitSquaresWoundClockwiseFromOutside) {
    cube::CubeVertex v[cube::kVertexCount];
    cube::buildCubeVertices(v);
    const float outward[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (int f = 0; f < 6; ++f) {
        const cube::CubeVertex* q = &v[4 * f];
        float e1[3] = {q[1].x - q[0].x, q[1].y - q[0].y, q[1].z - q[0].z};
        float e2[3] = {q[2].x - q[0].x, q[2].y - q[0].y, q[2].z - q[0].z};
        float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(n[a], outward[f][a]) << "face " << f; // left-handed: clockwise means along the normal
        // A strip over a square: the fourth corner closes the parallelogram.
        EXPECT_EQ(q[3].x, q[1].x + q[2].x - q[0].x);
        EXPECT_EQ(q[3].y, q[1].y + q[2].y - q[0].y);
        EXPECT_EQ(q[3].z, q[1].z + q[2].z - q[0].z);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(std::fabs(q[k].x), 0.5f);
            EXPECT_EQ(q[k].x * outward[f][0] + q[k].y * outward[f][1] + q[k].z * outward[f][2], 0.5f);
        }
        EXPECT_EQ(q[0].tu, 0);
        EXPECT_EQ(q[0].tv, 1);
        EXPECT_EQ(q[1].tu, 0);
        EXPECT_EQ(q[1].tv, 0);
        EXPECT_EQ(q[2].tu, 1);
        EXPECT_EQ(q[2].tv, 1);
        EXPECT_EQ(q[3].tu, 1);
        EXPECT_EQ(q[3].tv, 0);
    }
}

// Face 0 of the cube moved by (x, y, z) and seen through a square 90-degree projection: clip x is
// the vertex's x, and w its depth.
unsigned faceBits(float x, float y, float z) {
    cube::CubeVertex v[cube::kVertexCount];
    cube::buildCubeVertices(v);
    D3DXMATRIX move, projection, m;
    D3DXMatrixTranslation(&move, x, y, z);
    D3DXMatrixPerspectiveFovLH(&projection, kPi / 2, 1.0f, 1.0f, 100.0f);
    D3DXMatrixMultiply(&m, &move, &projection);
    return cube::clipUnion(m, v, 4);
}

TEST(EngineGeometry, ClipBitsOfAFaceStraddlingEachEdge) {
    using namespace motion;
    // At depth 2.5 the face lies at w = 2 and spans one unit: the edges are at x, y = +-2.
    struct Case {
        float x, y, z;
        unsigned bits;
    } cases[] = {
        {0, 0, 2.5f, 0},
        {1.4f, 1.4f, 2.5f, 0}, // right up to the corner, still inside
        {2, 0, 2.5f, kClipRight},
        {-2, 0, 2.5f, kClipLeft},
        {0, 2, 2.5f, kClipTop},
        {0, -2, 2.5f, kClipBottom},
        {2, 2, 2.5f, kClipRight | kClipTop},
        {-2, -2, 2.5f, kClipLeft | kClipBottom},
        {5, 0, 2.5f, kClipRight}, // wholly outside
        // So near that the face overhangs all four edges at once.
        {0, 0, 0.9f, kClipLeft | kClipRight | kClipTop | kClipBottom},
    };
    for (const Case& c : cases)
        EXPECT_EQ(faceBits(c.x, c.y, c.z), c.bits) << c.x << ", " << c.y << ", " << c.z;
}

} // namespace
