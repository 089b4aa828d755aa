#!/usr/bin/env python3
"""Draws the built-in face bitmaps: for each face a plain field of one colour with a fine mottled grain,
8 bits per pixel with a 256-entry palette, 128 x 128 (ids 174-179) and 16 x 16 (ids 219-224).

Deterministic: the same files come out on every run. The average colour of each bitmap is the face's
colour to within a quarter of a level per channel. Usage: make_face_bitmaps.py [output folder]
"""
import os
import struct
import sys

# Face order 0 to 5: lavender, mint, olive, pink, mauve, sand.
FACES = [
    (157, 153, 222),
    (155, 212, 182),
    (153, 170, 112),
    (241, 147, 150),
    (189, 144, 179),
    (232, 199, 123),
]
LARGE_FIRST_ID = 174
SMALL_FIRST_ID = 219
GRAIN = 12.0  # largest departure from the face colour, in levels


class XorShift32:
    def __init__(self, seed):
        self.state = (seed * 2654435761 + 0x9E3779B9) & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def uniform(self):
        """A value in [-1, 1)."""
        return self.next() / 2147483648.0 - 1.0


def value_noise(size, cell, rng):
    """Smoothly interpolated random lattice values, wrapping at the edges so the field tiles."""
    cells = max(1, size // cell)
    lattice = [[rng.uniform() for _ in range(cells)] for _ in range(cells)]
    field = []
    for y in range(size):
        gy = y / cell
        y0 = int(gy) % cells
        y1 = (y0 + 1) % cells
        fy = gy - int(gy)
        fy = fy * fy * (3 - 2 * fy)
        row = []
        for x in range(size):
            gx = x / cell
            x0 = int(gx) % cells
            x1 = (x0 + 1) % cells
            fx = gx - int(gx)
            fx = fx * fx * (3 - 2 * fx)
            top = lattice[y0][x0] * (1 - fx) + lattice[y0][x1] * fx
            bottom = lattice[y1][x0] * (1 - fx) + lattice[y1][x1] * fx
            row.append(top * (1 - fy) + bottom * fy)
        field.append(row)
    return field


def grain_indices(size, seed):
    """Palette indices 0-255: mottles a few pixels across over a pixel-fine grain."""
    rng = XorShift32(seed)
    coarse = value_noise(size, max(2, size // 16), rng)
    fine = value_noise(size, max(1, size // 32), rng)
    values = [[0.55 * coarse[y][x] + 0.25 * fine[y][x] + 0.20 * rng.uniform() for x in range(size)]
              for y in range(size)]
    mean = sum(map(sum, values)) / (size * size)
    spread = max(abs(v - mean) for row in values for v in row) or 1.0
    return [[min(255, max(0, round(127.5 + 127.5 * (v - mean) / spread))) for v in row] for row in values]


def palette_for(colour, indices):
    """A ramp around the colour, nudged entry by entry until the picture's mean is the colour."""
    size = len(indices)
    counts = [0] * 256
    for row in indices:
        for i in row:
            counts[i] += 1
    total = size * size
    palette = []
    for i in range(256):
        t = (i - 127.5) / 127.5
        palette.append([min(255, max(0, round(c + GRAIN * t))) for c in colour])
    for channel in range(3):
        mean = sum(counts[i] * palette[i][channel] for i in range(256)) / total
        # Whole levels first, then single entries (rarest first) for the fraction.
        shift = round(colour[channel] - mean)
        for entry in palette:
            entry[channel] = min(255, max(0, entry[channel] + shift))
        mean = sum(counts[i] * palette[i][channel] for i in range(256)) / total
        for i in sorted(range(256), key=lambda k: (counts[k], k)):
            error = colour[channel] - mean
            if abs(error) < 0.25 / 2 or counts[i] == 0:
                continue
            step = 1 if error > 0 else -1
            if abs(error - step * counts[i] / total) >= abs(error):
                continue
            value = palette[i][channel] + step
            if 0 <= value <= 255:
                palette[i][channel] = value
                mean += step * counts[i] / total
        assert abs(colour[channel] - mean) < 0.25, (colour, channel, mean)
    return palette


def bmp_bytes(indices, palette):
    size = len(indices)
    stride = (size + 3) & ~3
    pixels = b"".join(bytes(row) + bytes(stride - size) for row in reversed(indices))  # bottom row first
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    return header + info + table + pixels


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for face, colour in enumerate(FACES):
        for first_id, size in ((LARGE_FIRST_ID, 128), (SMALL_FIRST_ID, 16)):
            indices = grain_indices(size, first_id + face)
            data = bmp_bytes(indices, palette_for(colour, indices))
            with open(os.path.join(folder, "face%d.bmp" % (first_id + face)), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "faces"))
