#!/usr/bin/env python3
"""Draws the nine slider icons of the settings dialog: a small cube with one axis through it.

Spin icons add a ring about the axis with an arrowhead showing the turn of that slider end; speed icons put
arrowheads on both ends of the axis. Each icon is ray-cast (cube faces, axis and ring share one depth test),
supersampled and written as a .ico of 16 to 64 pixels into resources/icons/.
"""
import math
import os
import struct
import sys

# Cube faces by the axis of their normal, tinted like the application icon.
FACE = {0: (0xE0, 0xCC, 0x98), 1: (0xC8, 0xB4, 0xE6), 2: (0xA8, 0xDC, 0xB8)}
EDGE = (0x40, 0x40, 0x50)
AXIS_COLOUR = {0: (0xC0, 0x20, 0x20), 1: (0x18, 0x90, 0x28), 2: (0x20, 0x40, 0xC8)}

YAW = math.radians(-35.0)
PITCH = math.radians(-25.0)
HALF = 0.42        # half the cube's edge, in view units
VIEW = 1.0         # the icon spans -VIEW .. VIEW
SUPERSAMPLE = 4

# (resource id, file name, axis, kind): kind is +1/-1 for a turn in that direction, 0 for movement.
ICONS = [
    (207, "spin_x_neg", 0, -1),
    (208, "spin_x_pos", 0, +1),
    (209, "speed_x", 0, 0),
    (210, "spin_y_pos", 1, +1),
    (211, "spin_y_neg", 1, -1),
    (212, "speed_y", 1, 0),
    (213, "spin_z_neg", 2, -1),
    (214, "spin_z_pos", 2, +1),
    (215, "speed_z", 2, 0),
]


def rotate(p):
    """Object space to view space (x right, y up, z away from the viewer)."""
    x, y, z = p
    cy, sy = math.cos(YAW), math.sin(YAW)
    x, z = cy * x + sy * z, -sy * x + cy * z
    cp, sp = math.cos(PITCH), math.sin(PITCH)
    y, z = cp * y - sp * z, sp * y + cp * z
    return (x, y, z)


def unrotate(p):
    x, y, z = p
    cp, sp = math.cos(PITCH), math.sin(PITCH)
    y, z = cp * y + sp * z, -sp * y + cp * z
    cy, sy = math.cos(YAW), math.sin(YAW)
    x, z = cy * x - sy * z, sy * x + cy * z
    return (x, y, z)


def cube_hit(u, v):
    """Depth and colour of the cube where the view ray through (u, v) enters it, or None."""
    origin = unrotate((u, v, -10.0))
    direction = unrotate((0.0, 0.0, 1.0))
    t_near, t_far, axis = -1e9, 1e9, -1
    for i in range(3):
        if abs(direction[i]) < 1e-12:
            if abs(origin[i]) > HALF:
                return None
            continue
        t0 = (-HALF - origin[i]) / direction[i]
        t1 = (HALF - origin[i]) / direction[i]
        if t0 > t1:
            t0, t1 = t1, t0
        if t0 > t_near:
            t_near, axis = t0, i
        t_far = min(t_far, t1)
    if t_near > t_far:
        return None
    hit = [origin[i] + direction[i] * t_near for i in range(3)]
    others = [abs(hit[i]) for i in range(3) if i != axis]
    if max(others) > HALF * 0.9:
        colour = EDGE
    else:
        colour = FACE[axis]
    return (t_near - 10.0, colour)


def segment_distance(px, py, a, b):
    """Distance from point to the screen segment a-b, and the parameter of the nearest point."""
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    s = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    qx, qy = ax + s * dx, ay + s * dy
    return math.hypot(px - qx, py - qy), s


class Stroke:
    """A 3D polyline drawn with a width in view units; depth is interpolated along each segment."""

    def __init__(self, points, width, colour):
        self.points = [rotate(p) for p in points]
        self.width = width
        self.colour = colour

    def hit(self, u, v):
        best = None
        for a, b in zip(self.points, self.points[1:]):
            d, s = segment_distance(u, v, a[:2], b[:2])
            if d <= self.width / 2:
                depth = a[2] + s * (b[2] - a[2])
                if best is None or depth < best:
                    best = depth
        return None if best is None else (best, self.colour)


class Arrowhead:
    """A filled screen-space triangle at a 3D point, pointing along a 3D direction."""

    def __init__(self, tip, direction, size, colour):
        t = rotate(tip)
        d = rotate(direction)
        length = math.hypot(d[0], d[1]) or 1.0
        dx, dy = d[0] / length, d[1] / length
        back = (t[0] - dx * size, t[1] - dy * size)
        self.corners = [(t[0], t[1]), (back[0] - dy * size * 0.55, back[1] + dx * size * 0.55),
                        (back[0] + dy * size * 0.55, back[1] - dx * size * 0.55)]
        # Slightly in front of its own stroke so the head is never hidden by it.
        self.depth = t[2] - 0.05
        self.colour = colour

    def hit(self, u, v):
        sign = None
        for (ax, ay), (bx, by) in zip(self.corners, self.corners[1:] + self.corners[:1]):
            cross = (bx - ax) * (v - ay) - (by - ay) * (u - ax)
            if cross != 0:
                if sign is None:
                    sign = cross > 0
                elif sign != (cross > 0):
                    return None
        return (self.depth, self.colour)


def unit(axis):
    return tuple(1.0 if i == axis else 0.0 for i in range(3))


def scale(p, k):
    return tuple(c * k for c in p)


def add(p, q):
    return tuple(a + b for a, b in zip(p, q))


def shapes_for(axis, kind):
    colour = AXIS_COLOUR[axis]
    a = unit(axis)
    reach = 0.92 if kind == 0 else 0.98
    shapes = [Stroke([scale(a, -reach), scale(a, reach)], 0.075, colour)]
    if kind == 0:
        shapes.append(Arrowhead(scale(a, reach + 0.04), a, 0.2, colour))
        shapes.append(Arrowhead(scale(a, -reach - 0.04), scale(a, -1.0), 0.2, colour))
        return shapes
    # A ring about the axis, around the cube, open near its end so the arrowhead reads clearly.
    e1 = unit((axis + 1) % 3)
    e2 = unit((axis + 2) % 3)
    radius = 0.78
    centre = scale(a, 0.12)
    steps = 48
    sweep = math.radians(290.0)
    start = math.radians(-60.0)
    points = []
    for i in range(steps + 1):
        angle = start + kind * sweep * i / steps
        points.append(add(centre, add(scale(e1, radius * math.cos(angle)), scale(e2, radius * math.sin(angle)))))
    shapes.append(Stroke(points, 0.075, colour))
    end_angle = start + kind * sweep
    tangent = add(scale(e1, -math.sin(end_angle) * kind), scale(e2, math.cos(end_angle) * kind))
    shapes.append(Arrowhead(add(points[-1], scale(tangent, 0.1)), tangent, 0.24, colour))
    return shapes


def render(size, shapes):
    """Rows of (b, g, r, a) pixels, top row first."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = 0.0
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    u = ((px + (sx + 0.5) / n) / size * 2 - 1) * VIEW
                    v = (1 - (py + (sy + 0.5) / n) / size * 2) * VIEW
                    best = cube_hit(u, v)
                    for shape in shapes:
                        hit = shape.hit(u, v)
                        if hit and (best is None or hit[0] < best[0]):
                            best = hit
                    if best:
                        covered += 1
                        r += best[1][0]
                        g += best[1][1]
                        b += best[1][2]
            if covered:
                row.append((round(b / covered), round(g / covered), round(r / covered),
                            round(255 * covered / (n * n))))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size, shapes):
    rows = render(size, shapes)
    pixels = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))  # bottom-up
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray(mask_row * size)
    for y, row in enumerate(reversed(rows)):
        for x, px in enumerate(row):
            if px[3] == 0:
                mask[y * mask_row + x // 8] |= 0x80 >> (x % 8)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + bytes(mask)


def write_icon(path, shapes):
    # 100% to 200% display scaling: small icons 16 to 32, large ones 32 to 64.
    sizes = (16, 20, 24, 32, 40, 48, 64)
    images = [icon_image(s, shapes) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for _, name, axis, kind in ICONS:
        write_icon(os.path.join(folder, name + ".ico"), shapes_for(axis, kind))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/icons")
