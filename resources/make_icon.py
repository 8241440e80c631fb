#!/usr/bin/env python3
"""Draws the launcher's icon: one 32x32 image, 32 bits per pixel.

A rounded square in a deep teal-to-indigo gradient carrying a white "V"
with a small spark above it. Every pixel is supersampled 8x8 for smooth
edges. Writes launcher.ico beside this script; with --png FILE also a PNG
preview (scaled 8x) to look at.

    python3 resources/make_icon.py [--png preview.png]
"""
import math
import os
import struct
import sys
import zlib

SIZE = 32
SAMPLES = 8


def rounded_square(x, y):
    """Inside the background: a square of 30 px with corners of radius 7."""
    lo, hi, r = 1.0, 31.0, 7.0
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and lo <= x <= hi and lo <= y <= hi


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def in_mark(x, y):
    """The white "V" of two strokes meeting at the bottom, and the spark."""
    stroke = 2.4
    if segment_distance(x, y, 8.5, 12.0, 16.0, 25.5) <= stroke:
        return True
    if segment_distance(x, y, 23.5, 12.0, 16.0, 25.5) <= stroke:
        return True
    # A four-pointed spark above the V.
    sx, sy = abs(x - 16.0), abs(y - 6.0)
    return sx + sy <= 2.6 or (sx <= 0.6 and sy <= 3.6) or (sy <= 0.6 and sx <= 3.6)


def background(y):
    """Vertical gradient, teal at the top to indigo at the bottom."""
    t = y / SIZE
    top, bottom = (18, 140, 150), (52, 48, 140)
    return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))


def pixel(col, row):
    """Premultiplied-free RGBA of the pixel at (col, row), row 0 on top."""
    inside = mark = 0
    for i in range(SAMPLES):
        for j in range(SAMPLES):
            x = col + (i + 0.5) / SAMPLES
            y = row + (j + 0.5) / SAMPLES
            if rounded_square(x, y):
                inside += 1
                if in_mark(x, y):
                    mark += 1
    total = SAMPLES * SAMPLES
    if inside == 0:
        return (0, 0, 0, 0)
    base = background(row + 0.5)
    share = mark / inside
    rgb = tuple(round(c + (255 - c) * share) for c in base)
    return rgb + (round(255 * inside / total),)


def image():
    return [[pixel(col, row) for col in range(SIZE)] for row in range(SIZE)]


def ico_bytes(pixels):
    xor = b"".join(
        bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    and_mask = bytes(SIZE * SIZE // 8)  # transparency comes from alpha
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    data = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(data), 6 + 16)
    return directory + entry + data


def png_bytes(pixels, scale):
    rows = []
    for row in pixels:
        line = b"".join(bytes(p) * scale for p in row)
        rows.extend([b"\x00" + line] * scale)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    width = SIZE * scale
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, width, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) +
            chunk(b"IEND", b""))


def main():
    pixels = image()
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "launcher.ico"), "wb") as out:
        out.write(ico_bytes(pixels))
    if len(sys.argv) == 3 and sys.argv[1] == "--png":
        with open(sys.argv[2], "wb") as out:
            out.write(png_bytes(pixels, 8))


if __name__ == "__main__":
    main()
