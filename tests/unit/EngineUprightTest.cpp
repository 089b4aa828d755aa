// Keep-upright: the lowest edge on screen and the coordinates that stand a picture on it.
#include "engine/CubeGeometry.h"
#include "engine/Upright.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace upright;

namespace {

TEST(EngineUpright, LowestEdgeRanksScreenRowsWithoutLettingTiesDisplace) {
    struct Case {
        float rows[4];
        int lowest, second;
    } cases[] = {
        {{1, 2, 3, 4}, 3, 2},
        {{4, 3, 2, 1}, 0, 1},
        {{1, 4, 2, 3}, 1, 3},
        {{3, 1, 3, 0}, 0, 2}, // vertex 2 ties the lowest: it becomes second, not lowest
        {{5, 5, 5, 5}, 0, 1},
        {{2, 9, 9, 1}, 1, 2},
        {{-1e12f, -1e12f, -2e12f, -3e12f}, 0, -1}, // below the "no second" mark: none ranked
    };
    for (const Case& c : cases) {
        LowestEdge e = findLowestEdge(c.rows);
        EXPECT_EQ(e.lowest, c.lowest) << c.rows[0] << c.rows[1] << c.rows[2] << c.rows[3];
        EXPECT_EQ(e.second, c.second) << c.rows[0] << c.rows[1] << c.rows[2] << c.rows[3];
    }
}

struct Expected {
    int i, k;
    TexCoord a[4], b[4];
};
const Expected kTable[] = {
    {0, 1, {{1, 1}, {0, 1}, {1, 0}, {0, 0}}, {{1, 1}, {0, 1}, {1, 0}, {0, 0}}},
    {0, 2, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}, {{1, 0}, {1, 1}, {0, 0}, {0, 1}}},
    {1, 3, {{1, 0}, {1, 1}, {0, 0}, {0, 1}}, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}},
    {2, 3, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
};

TEST(EngineUpright, EveryLowestEdgeInEitherOrderGetsItsRow) {
    for (const Expected& row : kTable) {
        for (LowestEdge edge : {LowestEdge{row.i, row.k}, LowestEdge{row.k, row.i}}) {
            TexCoord a[4], b[4];
            ASSERT_TRUE(uprightTexCoords(edge, a, b)) << row.i << row.k;
            for (int v = 0; v < 4; ++v) {
                EXPECT_EQ(a[v].tu, row.a[v].tu) << row.i << row.k << " vertex " << v;
                EXPECT_EQ(a[v].tv, row.a[v].tv) << row.i << row.k << " vertex " << v;
                EXPECT_EQ(b[v].tu, row.b[v].tu) << row.i << row.k << " vertex " << v;
                EXPECT_EQ(b[v].tv, row.b[v].tv) << row.i << row.k << " vertex " << v;
            }
        }
    }
}

TEST(EngineUpright, DiagonalsAndUnrankedEdgesLeaveTheFacesAlone) {
    for (LowestEdge edge :
         {LowestEdge{0, 3}, LowestEdge{3, 0}, LowestEdge{1, 2}, LowestEdge{2, 1}, LowestEdge{0, -1}}) {
        TexCoord a[4] = {{7, 7}, {7, 7}, {7, 7}, {7, 7}};
        TexCoord b[4] = {{8, 8}, {8, 8}, {8, 8}, {8, 8}};
        EXPECT_FALSE(uprightTexCoords(edge, a, b));
        for (int v = 0; v < 4; ++v) {
            EXPECT_EQ(a[v].tu, 7);
            EXPECT_EQ(b[v].tv, 8);
        }
    }
}

// For every pair of opposite faces: the picture's bottom (tv = 1) lies along the lowest edge of
// face a and along the edge of face a+1 straight across the cube from it.
TEST(EngineUpright, BottomLiesAlongTheLowestEdgeAndTheOppositeOne) {
    cube::CubeVertex v[cube::kVertexCount];
    cube::buildCubeVertices(v);
    const int normalAxis[3] = {2, 0, 1}; // faces 0/1 face along z, 2/3 along x, 4/5 along y
    auto coord = [](const cube::CubeVertex& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; };
    for (int pair = 0; pair < 3; ++pair) {
        int a = 2 * pair;
        for (const Expected& row : kTable) {
            TexCoord ta[4], tb[4];
            ASSERT_TRUE(uprightTexCoords(LowestEdge{row.i, row.k}, ta, tb));
            for (int n = 0; n < 4; ++n) {
                bool onEdge = n == row.i || n == row.k;
                EXPECT_EQ(ta[n].tv == 1, onEdge) << "face " << a << " edge " << row.i << row.k;
                // The vertex of face a+1 across from vertex n shares its two in-plane coordinates.
                const cube::CubeVertex& p = v[4 * a + n];
                for (int m = 0; m < 4; ++m) {
                    const cube::CubeVertex& q = v[4 * (a + 1) + m];
                    bool across = true;
                    for (int axis = 0; axis < 3; ++axis)
                        if (axis != normalAxis[pair] && coord(p, axis) != coord(q, axis))
                            across = false;
                    if (across && onEdge) {
                        EXPECT_EQ(tb[m].tv, 1) << "face " << a + 1 << " edge " << row.i << row.k;
                    }
                }
            }
        }
    }
}

} // namespace
