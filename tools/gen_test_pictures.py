#!/usr/bin/env python3
"""Draws the small pictures the GUI layer's tests load from resources, as PNG files.

Usage: tools/gen_test_pictures.py [output folder]   (default: tests/platform/gui/pictures)
Prints the base64 form of the embedded picture used in the test layout.
"""
import base64
import os
import struct
import sys
import zlib


def png(width, height, pixel):
    """A truecolour PNG; pixel(x, y) gives (r, g, b)."""
    rows = b"".join(b"\x00" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def checker(x, y):
    return (0, 128, 128) if (x // 4 + y // 4) % 2 else (255, 255, 255)


def ramp(x, y):
    return (x * 32, y * 32, 160)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "tests", "platform", "gui", "pictures")
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "checker.png"), "wb") as f:
        f.write(png(16, 16, checker))
    print(base64.b64encode(png(8, 8, ramp)).decode())


if __name__ == "__main__":
    main()
