#!/usr/bin/env python3
"""Makes the photographs of the conversion quality test and, with ImageMagick, an independent reference
downscale of each to the rectangle a 256-pixel cache file draws it into.

Usage: make_quality_photos.py OUTPUT_FOLDER

Camera photos from the system's wallpaper folders are used when a wallpaper package is installed;
photo-like pictures (fractal clouds, gradients, hard-edged shapes and sensor noise, JPEG quality 92)
are always made. manifest.txt lists one picture a line: file name, width, height, reference file name.
"""
import glob
import os
import struct
import subprocess
import sys

TARGET_SIZE = 256
WALLPAPER_FOLDERS = ["/usr/share/backgrounds", "/usr/share/wallpapers"]
MAX_REAL_PHOTOS = 8
MAX_REAL_PIXELS = 30_000_000
CONVERT = "convert"


def single(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def himetric(pixels):
    # 96 dpi, rounded half away from zero as the conversion rounds
    return int(pixels * 2540 / 96 + 0.5)


def draw_size(width, height, size=TARGET_SIZE):
    """Width and height of the picture inside its cache file."""
    ratio = himetric(width) / himetric(height)
    ratio_single = single(ratio)
    if not ratio > 1.35 and not ratio_single < 0.73:
        if width > height:
            return size, int(height * size / width)
        return int(size * width / height), size
    if ratio_single > 1.0:
        return size, int(size / ratio_single)
    return int(size * ratio_single), size


def run(*args):
    subprocess.run([CONVERT, *args], check=True)


def make_photo(path, width, height, seed, tint):
    """Fractal clouds under a gradient, a few soft-edged and hard-edged shapes, then sensor noise."""
    shapes = [
        f"fill #e8e0c8 ellipse {width * 3 // 10},{height * 2 // 3} {width // 9},{height // 7} 0,360",
        f"fill #202428 polygon {width // 2},{height // 5} {width * 4 // 5},{height * 3 // 5} "
        f"{width * 3 // 5},{height * 9 // 10}",
        f"stroke #f0f0f0 stroke-width {max(2, width // 400)} line 0,{height // 3} {width},{height // 2}",
    ]
    args = ["-seed", str(seed), "-size", f"{width}x{height}", "plasma:fractal", "-blur", "0x2",
            "(", "-size", f"{width}x{height}", f"gradient:{tint}", ")", "-compose", "Overlay", "-composite"]
    for shape in shapes:
        args += ["-draw", shape]
    args += ["-blur", "0x0.7", "-attenuate", "0.4", "+noise", "Gaussian", "-quality", "92", path]
    run(*args)


def identify(path):
    """Width and height as shown, after any EXIF orientation."""
    out = subprocess.run([CONVERT, path + "[0]", "-auto-orient", "-format", "%w %h", "info:"], check=True,
                         capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


def real_photos():
    found = []
    for folder in WALLPAPER_FOLDERS:
        found += glob.glob(os.path.join(folder, "**", "*.jpg"), recursive=True)
    chosen = []
    for path in sorted(set(found)):
        try:
            width, height = identify(path)
        except subprocess.CalledProcessError:
            continue
        if width * height <= MAX_REAL_PIXELS:
            chosen.append(path)
        if len(chosen) == MAX_REAL_PHOTOS:
            break
    return chosen


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    made = [
        ("clouds-landscape.jpg", 1600, 1200, 7, "#203060-#d0a070"),
        ("clouds-portrait.jpg", 1200, 1600, 11, "#406020-#a0c0e0"),
        ("clouds-wide.jpg", 2048, 1152, 23, "#602010-#80c0ff"),
        ("clouds-tall.jpg", 900, 2000, 31, "#101030-#f0d060"),
        ("clouds-small.jpg", 640, 480, 43, "#305050-#e0a0c0"),
    ]
    entries = []
    for name, width, height, seed, tint in made:
        make_photo(os.path.join(out, name), width, height, seed, tint)
        entries.append(name)
    # The same kind of picture as an uncompressed BMP.
    run(os.path.join(out, "clouds-landscape.jpg"), "-resize", "1400x1050!", "BMP3:" + os.path.join(out, "clouds.bmp"))
    entries.append("clouds.bmp")
    for index, path in enumerate(real_photos()):
        name = f"camera-{index}.jpg"
        with open(path, "rb") as source, open(os.path.join(out, name), "wb") as copy:
            copy.write(source.read())
        entries.append(name)

    lines = []
    for name in entries:
        path = os.path.join(out, name)
        width, height = identify(path)
        draw_width, draw_height = draw_size(width, height)
        reference = os.path.splitext(name)[0] + "-reference.bmp"
        run(path, "-auto-orient", "-filter", "Triangle", "-resize", f"{draw_width}x{draw_height}!", "-type", "TrueColor",
            "BMP3:" + os.path.join(out, reference))
        lines.append(f"{name} {width} {height} {reference}\n")
    with open(os.path.join(out, "manifest.txt"), "w") as manifest:
        manifest.writelines(lines)


if __name__ == "__main__":
    main()
