#!/usr/bin/env python3
"""Draws the program's icon (a log page with a highlighted run) as PNG files in ui/window/icons/,
and the same three images as one .ico file for the Windows build.

Run it again after changing a shape; the PNGs are kept in the repository so that building
needs no image tools.
"""
import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 32, 48)
SUPERSAMPLING = 4

# (left, top, right, bottom, corner radius) in units of the icon's width, and an RGB colour.
SHAPES = [
    ((0.10, 0.04, 0.90, 0.96, 0.08), (0x33, 0x3b, 0x45)),  # page outline
    ((0.14, 0.08, 0.86, 0.92, 0.05), (0xfa, 0xfa, 0xf7)),  # page
    ((0.14, 0.08, 0.86, 0.26, 0.00), (0x1f, 0x4e, 0x79)),  # title band
    ((0.22, 0.34, 0.78, 0.40, 0.00), (0x9a, 0xa3, 0xad)),  # log lines
    ((0.22, 0.46, 0.66, 0.52, 0.00), (0x9a, 0xa3, 0xad)),
    ((0.18, 0.60, 0.82, 0.76, 0.02), (0x2f, 0x86, 0xd6)),  # the selected run
    ((0.24, 0.655, 0.70, 0.705, 0.00), (0xff, 0xff, 0xff)),
    ((0.22, 0.82, 0.58, 0.88, 0.00), (0x9a, 0xa3, 0xad)),
]


def inside(shape, x, y):
    left, top, right, bottom, radius = shape
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 + 1e-12


def pixel(size, px, py):
    red = green = blue = alpha = 0
    for sy in range(SUPERSAMPLING):
        for sx in range(SUPERSAMPLING):
            x = (px + (sx + 0.5) / SUPERSAMPLING) / size
            y = (py + (sy + 0.5) / SUPERSAMPLING) / size
            colour = None
            for shape, shape_colour in SHAPES:
                if inside(shape, x, y):
                    colour = shape_colour
            if colour:
                red, green, blue, alpha = red + colour[0], green + colour[1], blue + colour[2], alpha + 1
    samples = SUPERSAMPLING ** 2
    if alpha == 0:
        return bytes(4)
    return bytes((red // alpha, green // alpha, blue // alpha, 255 * alpha // samples))


def png(size):
    rows = b"".join(b"\0" + b"".join(pixel(size, x, y) for x in range(size)) for y in range(size))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def ico(images):
    """An .ico file that holds PNG images, as Windows reads them since Vista."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return header + entries + b"".join(data for _, data in images)


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent / "ui" / "window" / "icons")
    images = [(size, png(size)) for size in SIZES]
    for size, data in images:
        (folder / f"message-log-display-{size}.png").write_bytes(data)
    (folder / "message-log-display.ico").write_bytes(ico(images))


if __name__ == "__main__":
    main()
