#!/usr/bin/env python3
"""Draws the program icon (a flag on a green with a ball) and writes fairholm.ico:
one 32x32 picture, 32 bits per pixel with alpha. Run it again after changing the art."""
import struct
import sys

SIZE = 32
SKY = (0x33, 0x99, 0xFF)
GREEN = (0x2E, 0xA0, 0x3C)
DARK = (0x1E, 0x70, 0x28)
POLE = (0xE8, 0xE8, 0xE8)
FLAG = (0xE0, 0x20, 0x20)
BALL = (0xFF, 0xFF, 0xFF)
CUP = (0x10, 0x10, 0x10)


def colour(x, y):
    # Rounded square background: sky above, green below.
    corner = 4
    cx = min(x, SIZE - 1 - x)
    cy = min(y, SIZE - 1 - y)
    if cx < corner and cy < corner and (corner - cx) ** 2 + (corner - cy) ** 2 > corner * corner:
        return None
    if 12 <= x <= 13 and 4 <= y <= 23:
        return POLE
    if 14 <= x <= 23 and 4 <= y <= 10 and (x - 14) <= (10 - y) + 3 and (x - 14) <= (y - 4) + 3:
        return FLAG
    if (x - 13) ** 2 * 4 + (y - 24) ** 2 * 16 <= 40:
        return CUP
    if (x - 22) ** 2 + (y - 24) ** 2 <= 6:
        return BALL
    if y >= 20:
        return DARK if (y + x // 3) % 4 == 0 else GREEN
    return SKY


def main(path):
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(SIZE):
            c = colour(x, y)
            row += bytes((0, 0, 0, 0)) if c is None else bytes((c[2], c[1], c[0], 255))
        rows.append(bytes(row))
    xor = b"".join(rows)
    mask_row = 4  # 32 bits, already a multiple of four bytes
    and_mask = bytearray()
    for y in range(SIZE - 1, -1, -1):
        bits = 0
        for x in range(SIZE):
            if colour(x, y) is None:
                bits |= 1 << (31 - x)
        and_mask += struct.pack(">I", bits)
    assert len(and_mask) == SIZE * mask_row
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + bytes(and_mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "fairholm.ico")
