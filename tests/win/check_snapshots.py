#!/usr/bin/python3
"""Reads the snapshots the device tests left behind with ImageMagick, as any image program would:
the file type, size and depth, and the simulator's colour bars the right way up."""
import os
import subprocess
import sys

FORMATS = ["YUY2", "I420", "RGB24"]
SIZES = [(160, 120), (176, 144), (320, 240), (352, 240), (352, 288), (640, 480), (720, 480)]
# The simulator's 75 % colour bars, left to right.
BARS = [(191, 191, 191), (191, 191, 0), (0, 191, 191), (0, 191, 0), (191, 0, 191), (191, 0, 0), (0, 0, 191), (0, 0, 0)]


def check(path, width, height):
    problems = []
    described = subprocess.run(["identify", "-format", "%m %w %h %z", path], capture_output=True, text=True)
    if described.returncode != 0:
        return [f"identify failed: {described.stderr.strip()}"]
    # BMP3: a Windows bitmap with the 40-byte header.
    if described.stdout.split() != ["BMP3", str(width), str(height), "8"]:
        problems.append(f"identify says {described.stdout!r}")
    with open(path, "rb") as f:
        header = f.read(54)
    bits = int.from_bytes(header[28:30], "little")
    if bits != 24:
        problems.append(f"{bits} bits per pixel")
    # The picture as ImageMagick decodes it, top row first, 3 bytes a pixel.
    rgb = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    if len(rgb) != width * height * 3:
        return problems + [f"{len(rgb)} bytes decoded"]

    def pixel(x, y):
        i = (y * width + x) * 3
        return tuple(rgb[i:i + 3])

    for bar, expected in enumerate(BARS):
        x = (2 * bar + 1) * width // 16
        seen = pixel(x, height * 45 // 100)
        if any(abs(a - b) > 10 for a, b in zip(seen, expected)):
            problems.append(f"bar {bar} is {seen}, not {expected}")
        band = pixel(x, height * 85 // 100)
        if max(band) - min(band) > 8:
            problems.append(f"colour {band} below bar {bar}: upside down?")
    return problems


def main():
    folder = sys.argv[1]
    failed = 0
    for fmt in FORMATS:
        for width, height in SIZES:
            name = f"still-{fmt}-{width}x{height}.bmp"
            path = os.path.join(folder, name)
            if not os.path.exists(path):
                print(f"MISSING {name}")
                failed += 1
                continue
            problems = check(path, width, height)
            if problems:
                print(f"FAIL {name}: " + "; ".join(problems))
                failed += 1
            else:
                print(f"ok {name}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
