#!/usr/bin/env python3
"""Draws Orvane's icon, a small printer, as an ICO file with two 16-colour images:
32 x 32 and 16 x 16 pixels, each a 4-bit DIB with its transparency mask."""
import struct
import sys

# The 16 colours of the standard Windows palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREY, LIGHT_GREY, WHITE, GREEN, BLUE = 0, 8, 7, 15, 10, 12
TRANSPARENT = None


def printer(size):
    """Rows of palette indexes, top row first; None is transparent."""
    px = [[TRANSPARENT] * size for _ in range(size)]
    s = size / 32.0

    def box(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    box(8, 2, 24, 12, WHITE)          # paper going in
    box(2, 11, 30, 25, DARK_GREY)     # body outline
    box(3, 12, 29, 24, LIGHT_GREY)    # body
    box(22, 15, 26, 17, GREEN)        # power light
    box(6, 15, 10, 17, BLUE)          # USB mode light
    box(7, 21, 25, 30, WHITE)         # paper coming out
    box(9, 24, 23, 25, BLACK)         # printed lines
    box(9, 27, 19, 28, BLACK)
    return px


def dib(px):
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor, mask = b'', b''
    for row in reversed(px):  # DIBs store the bottom row first
        nibbles = [(c if c is not None else 0) for c in row]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += line.ljust(xor_row, b'\0')
        bits = 0
        out = b''
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                out += bytes([bits])
                bits = 0
        mask += out.ljust(and_row, b'\0')
    return header + palette + xor + mask


def ico(images):
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b'', b''
    for size, blob in images:
        entries += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
        data += blob
    return directory + entries + data


if __name__ == '__main__':
    images = [(n, dib(printer(n))) for n in (32, 16)]
    with open(sys.argv[1], 'wb') as out:
        out.write(ico(images))
