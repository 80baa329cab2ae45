#!/usr/bin/env python3
"""Writes res/lirvan.ico: a 32x32 and a 16x16 image, 16 colours each.

The picture is a sheet of paper with the shortcut arrow in its lower-left corner.
Run it again only to change the picture; the icon file is committed.
"""
import struct
import sys
from pathlib import Path

# The standard 16-colour palette (B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, WHITE, BLUE, YELLOW = 0, 4, 8, 15, 12, 11  # indices (RGB order)


def draw(size):
    """Returns rows top to bottom of palette indices, None for transparent."""
    s = size / 32.0
    px = [[None] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    rect(6, 2, 27, 30, BLACK)      # paper outline
    rect(7, 3, 26, 29, WHITE)      # paper
    for line in (8, 12, 16, 20):   # text lines
        rect(10, line, 23, line + 1, GREY)
    rect(2, 17, 16, 31, BLACK)     # arrow box outline
    rect(3, 18, 15, 30, WHITE)
    rect(6, 21, 13, 23, BLUE)      # arrow: bar ...
    rect(11, 21, 13, 28, BLUE)     # ... shaft down
    rect(9, 26, 15, 27, BLUE)      # ... head
    rect(10, 27, 14, 28, BLUE)
    rect(22, 3, 26, 5, YELLOW)     # a corner mark
    return px


def bitmap(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows, and_rows = [], []
    for row in reversed(px):  # bottom-up
        nibbles = [0 if c is None else c for c in row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(data + b"\0" * ((4 - len(data) % 4) % 4))
        bits = 0
        mask = bytearray()
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b"\0" * ((4 - len(mask) % 4) % 4))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def main():
    images = [bitmap(32), bitmap(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    target = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "res" / "lirvan.ico")
    target.write_bytes(out)


if __name__ == "__main__":
    main()
