#!/usr/bin/env python3
"""Draws the sized PNG icons from the shapes of client/dravo.svg (a green ring with a white
play triangle), 4x4 samples per pixel. Run by hand after the icon changes:
packaging/make_icons.py packaging/icons"""
import struct
import sys
import zlib

GREEN, RIM, WHITE = (0x00, 0xC8, 0x00), (0x00, 0x3F, 0x00), (0xFF, 0xFF, 0xFF)
SAMPLES = 4


def colour_at(x, y):
    """The SVG's 64x64 drawing at (x, y): None outside."""
    if (x - 25) * 14 >= 0 and abs(y - 32) <= (47 - x) * 14 / 22 and x <= 47 and x >= 25:
        return WHITE
    d = ((x - 32) ** 2 + (y - 32) ** 2) ** 0.5
    if d <= 26:
        return GREEN
    if d <= 30:
        return RIM
    return None


def pixel(px, py, size):
    r = g = b = a = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) * 64 / size
            y = (py + (sy + 0.5) / SAMPLES) * 64 / size
            c = colour_at(x, y)
            if c:
                r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
    if a == 0:
        return (0, 0, 0, 0)
    return (r // a, g // a, b // a, a * 255 // (SAMPLES * SAMPLES))


def png(size):
    rows = b"".join(b"\0" + bytes(v for px in range(size) for v in pixel(px, py, size))
                    for py in range(size))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    for size in (16, 22, 24, 32, 48, 64, 128, 256):
        with open(f"{sys.argv[1]}/dravo-{size}.png", "wb") as out:
            out.write(png(size))
