#!/usr/bin/env python3
"""Draws the Velquin application icon and writes res/velquin.ico.

Standard library only, so the icon can be rebuilt on any machine with Python 3
and comes out byte for byte the same every time. Each size is rendered on its
own (no downscaling of a big picture) by supersampling a few simple shapes, and
stored as a 32-bit RGBA PNG inside the .ico.

Usage: make_icon.py [--preview DIR]   (--preview also writes DIR/velquin-<size>.png)
"""

import argparse
import math
import struct
import zlib
from pathlib import Path

SIZES = (16, 24, 32, 48, 64, 128, 256)

BLUE = (0x25, 0x63, 0xEB)
WHITE = (0xFF, 0xFF, 0xFF)
RED = (0xEF, 0x44, 0x44)
YELLOW = (0xFA, 0xCC, 0x15)

# Shapes in unit coordinates: (0, 0) is the top-left corner, (1, 1) the
# bottom-right one, y grows downwards.
CORNER_RADIUS = 0.22
TIP_POINT = (0.17, 0.83)     # pencil point, lower left
END_POINT = (0.80, 0.20)     # flat end, upper right
HALF_WIDTH = 0.125
TIP_LENGTH = 0.25            # along the axis, from the point to the body
END_ROUNDING = 0.035
STRIPE_HALF_WIDTH = 0.045
SCALLOP_DEPTH = 0.03         # the paint ends in an arc on each facet, as sharpened

_AXIS = (END_POINT[0] - TIP_POINT[0], END_POINT[1] - TIP_POINT[1])
PENCIL_LENGTH = math.hypot(*_AXIS)
_DIR = (_AXIS[0] / PENCIL_LENGTH, _AXIS[1] / PENCIL_LENGTH)


def inside_rounded_square(x, y):
    if not (0.0 <= x <= 1.0 and 0.0 <= y <= 1.0):
        return False
    cx = min(max(x, CORNER_RADIUS), 1.0 - CORNER_RADIUS)
    cy = min(max(y, CORNER_RADIUS), 1.0 - CORNER_RADIUS)
    return (x - cx) ** 2 + (y - cy) ** 2 <= CORNER_RADIUS ** 2


def scallop(v):
    """How far the bare wood reaches past the cone at distance v from the axis.

    The three visible facets (white, red, white) each end in an arc that is
    deepest in the middle of the facet and zero at its edges.
    """
    if v <= STRIPE_HALF_WIDTH:
        low, high = -STRIPE_HALF_WIDTH, STRIPE_HALF_WIDTH
    else:
        low, high = STRIPE_HALF_WIDTH, HALF_WIDTH
    t = (v - low) / (high - low) * 2.0 - 1.0    # -1 .. 1 across the facet
    return SCALLOP_DEPTH * (1.0 - t * t)


def pencil_colour(x, y):
    """Colour of the pencil at (x, y), or None where the pencil is not."""
    dx = x - TIP_POINT[0]
    dy = y - TIP_POINT[1]
    u = dx * _DIR[0] + dy * _DIR[1]             # distance along the axis from the point
    v = abs(dx * -_DIR[1] + dy * _DIR[0])       # distance from the axis
    if u < 0.0 or u > PENCIL_LENGTH or v > HALF_WIDTH:
        return None
    if u < TIP_LENGTH:
        return YELLOW if v <= HALF_WIDTH * u / TIP_LENGTH else None
    if u < TIP_LENGTH + scallop(v):
        return YELLOW
    corner_u = PENCIL_LENGTH - END_ROUNDING
    corner_v = HALF_WIDTH - END_ROUNDING
    if u > corner_u and v > corner_v:
        if (u - corner_u) ** 2 + (v - corner_v) ** 2 > END_ROUNDING ** 2:
            return None
    return RED if v <= STRIPE_HALF_WIDTH else WHITE


def sample(x, y):
    """Straight RGBA colour of the picture at one point, or None if transparent."""
    if not inside_rounded_square(x, y):
        return None
    return pencil_colour(x, y) or BLUE


def render(size):
    """Rows of straight (not premultiplied) RGBA bytes for a size x size picture."""
    grid = max(4, min(16, 256 // size))          # subsamples per pixel and axis
    offsets = [(i + 0.5) / grid for i in range(grid)]
    total = grid * grid
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = covered = 0
            for oy in offsets:
                y = (py + oy) / size
                for ox in offsets:
                    colour = sample((px + ox) / size, y)
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        covered += 1
            if covered == 0:
                row += b"\0\0\0\0"
            else:
                row += bytes((
                    (r + covered // 2) // covered,
                    (g + covered // 2) // covered,
                    (b + covered // 2) // covered,
                    (covered * 255 + total // 2) // total,
                ))
        rows.append(bytes(row))
    return rows


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def encode_png(size, rows):
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)   # 8-bit RGBA
    raw = b"".join(b"\0" + row for row in rows)                 # filter: none
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", ihdr)
            + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))


def encode_ico(images):
    """images: list of (size, png bytes), written as ICONDIR + ICONDIRENTRYs + PNGs."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, png in images:
        side = 0 if size >= 256 else size                       # 0 means 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(png), offset)
        offset += len(png)
    return header + entries + b"".join(png for _, png in images)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", type=Path, help="also write each size as a PNG here")
    args = parser.parse_args()

    images = [(size, encode_png(size, render(size))) for size in SIZES]
    target = Path(__file__).resolve().parent.parent / "res" / "velquin.ico"
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes(encode_ico(images))
    if args.preview:
        args.preview.mkdir(parents=True, exist_ok=True)
        for size, png in images:
            (args.preview / f"velquin-{size}.png").write_bytes(png)


if __name__ == "__main__":
    main()
