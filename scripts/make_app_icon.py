#!/usr/bin/env python3
"""Draws the application icon (an isometric cube with three tinted faces) as a .ico of 16 to 64 pixels."""
import struct
import sys

TOP = (0xC8, 0xB4, 0xE6)    # lavender
LEFT = (0xA8, 0xDC, 0xB8)   # mint
RIGHT = (0xE0, 0xCC, 0x98)  # sand
EDGE = (0x30, 0x30, 0x40)


def face_at(x, y, size):
    """Which face of the cube covers pixel centre (x, y), or None."""
    u = (x + 0.5) / size * 2 - 1
    v = (y + 0.5) / size * 2 - 1
    h = 0.5  # half height of the side faces' vertical edges, in units
    # Hexagon outline of the cube.
    if abs(u) > 0.9:
        return None
    top_line = -0.5 - 0.5 * (0.9 - abs(u)) / 0.9 * 1.0
    bottom_line = 0.5 + 0.5 * (0.9 - abs(u)) / 0.9 * 1.0
    if v < top_line or v > bottom_line:
        return None
    mid_line = -0.5 + 0.5 * (0.9 - abs(u)) / 0.9
    if v < mid_line:
        return TOP
    return LEFT if u < 0 else RIGHT


def near_edge(x, y, size):
    here = face_at(x, y, size)
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        if face_at(x + dx * 0.6, y + dy * 0.6, size) != here:
            return True
    return False


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        row = b""
        for x in range(size):
            face = face_at(x, y, size)
            if face is None:
                row += bytes((0, 0, 0, 0))
            else:
                r, g, b = EDGE if near_edge(x, y, size) else face
                row += bytes((b, g, r, 255))
        rows.append(row)
    pixels = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # alpha carries the shape
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main(path):
    # 100% to 200% display scaling: small icons 16 to 32, large ones 32 to 64.
    sizes = (16, 20, 24, 32, 40, 48, 64)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/Prismata.ico")
