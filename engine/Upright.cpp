#include "engine/Upright.h"

#include <utility>

namespace upright {

namespace {
struct Row {
    int i, k; // the lowest edge, i < k
    TexCoord faceA[4];
    TexCoord faceB[4];
};
constexpr Row kRows[] = {
    {0, 1, {{1, 1}, {0, 1}, {1, 0}, {0, 0}}, {{1, 1}, {0, 1}, {1, 0}, {0, 0}}},
    {0, 2, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}, {{1, 0}, {1, 1}, {0, 0}, {0, 1}}},
    {1, 3, {{1, 0}, {1, 1}, {0, 0}, {0, 1}}, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}},
    {2, 3, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
};
constexpr float kNoSecond = -1e10f;
} // namespace

LowestEdge findLowestEdge(const float (&screenY)[4]) {
    int lowest = 0;
    int second = -1;
    float lowestY = screenY[0];
    float secondY = kNoSecond;
    for (int v = 1; v < 4; ++v) {
        if (screenY[v] > lowestY) {
            second = lowest;
            secondY = lowestY;
            lowest = v;
            lowestY = screenY[v];
        } else if (screenY[v] > secondY) {
            second = v;
            secondY = screenY[v];
        }
    }
    return LowestEdge{lowest, second};
}

bool uprightTexCoords(LowestEdge edge, TexCoord (&faceA)[4], TexCoord (&faceB)[4]) {
    int i = edge.lowest;
    int k = edge.second;
    if (i > k)
        std::swap(i, k);
    for (const Row& row : kRows) {
        if (row.i == i && row.k == k) {
            for (int v = 0; v < 4; ++v) {
                faceA[v] = row.faceA[v];
                faceB[v] = row.faceB[v];
            }
            return true;
        }
    }
    return false;
}

} // namespace upright
