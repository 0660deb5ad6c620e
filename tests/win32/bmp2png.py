#!/usr/bin/env python3
"""Turns the 24-bit BMP files that windowshot writes into PNG files (for docs/windows)."""
import struct
import sys
import zlib


def convert(source, target):
    data = open(source, "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24 or width <= 0:
        raise SystemExit(f"{source}: not a 24-bit BMP")
    top_down = height < 0
    height = abs(height)
    stride = (width * 3 + 3) & ~3
    raw = bytearray()
    for y in range(height):
        row = y if top_down else height - 1 - y
        start = offset + row * stride
        line = data[start:start + width * 3]
        raw.append(0)
        for x in range(width):
            b, g, r = line[3 * x:3 * x + 3]
            raw += bytes((r, g, b))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    open(target, "wb").write(png)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit("usage: bmp2png.py <in.bmp> <out.png>")
    convert(sys.argv[1], sys.argv[2])
