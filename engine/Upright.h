// Keep-upright: which edge of a face is lowest on screen, and the texture coordinates that put the
// picture's bottom along it (and along the matching edge of the opposite face).
#pragma once

namespace upright {

struct TexCoord {
    float tu, tv;
};

// Face-local vertex numbers (0 to 3) of the lowest and second-lowest vertex; second is -1 when
// none could be ranked (screen rows that are not numbers).
struct LowestEdge {
    int lowest;
    int second;
};

// Screen rows grow downward. Equal rows never displace an earlier vertex.
LowestEdge findLowestEdge(const float (&screenY)[4]);

// Coordinates for the four vertices of face a and of its opposite face a+1. False for a diagonal
// (or an unranked edge): the faces keep what they have.
bool uprightTexCoords(LowestEdge edge, TexCoord (&faceA)[4], TexCoord (&faceB)[4]);

} // namespace upright
