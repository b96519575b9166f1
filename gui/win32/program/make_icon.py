#!/usr/bin/env python3
"""Writes mehrfachausgabe.ico (16, 32 and 48 pixels) from the shapes of the
program's picture (gui/qt/program/mehrfachausgabe.svg): the stripe-coloured
tile, a stack of three pages, the front page's PDF band and lines, and the
printer arrow. Standard library only; run it again after changing the shapes."""
import struct

def rect(img, n, x0, y0, x1, y1, colour):
    s = n / 64.0
    for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
        for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
            if 0 <= x < n and 0 <= y < n:
                img[y][x] = colour

def frame(img, n, x0, y0, x1, y1, fill, line):
    rect(img, n, x0, y0, x1, y1, line)
    w = 64.0 / n
    rect(img, n, x0 + w, y0 + w, x1 - w, y1 - w, fill)

def draw(n):
    img = [[(0, 0, 0, 0)] * n for _ in range(n)]
    frame(img, n, 2, 2, 62, 62, (0xc0, 0x80, 0x80, 255), (0xff, 0x80, 0x80, 255))
    frame(img, n, 22, 8, 52, 46, (0xf4, 0xe8, 0xe8, 255), (0x80, 0x40, 0x40, 255))
    frame(img, n, 17, 13, 47, 51, (0xfa, 0xf4, 0xf4, 255), (0x80, 0x40, 0x40, 255))
    frame(img, n, 12, 18, 42, 56, (0xff, 0xff, 0xff, 255), (0x80, 0x40, 0x40, 255))
    rect(img, n, 12, 18, 42, 27, (0x00, 0x99, 0xff, 255))
    for y, x1 in ((32, 37), (37, 37), (42, 30)):
        rect(img, n, 17, y, x1, y + 2, (0xc0, 0x80, 0x80, 255))
    rect(img, n, 46, 38, 54, 46, (0xff, 0x00, 0x00, 255))
    for i in range(10):
        rect(img, n, 41 + i, 46 + i, 59 - i, 47 + i, (0xff, 0x00, 0x00, 255))
    return img

def entry(n):
    img = draw(n)
    pixels = b''.join(bytes(img[y][x]) for y in reversed(range(n)) for x in range(n))
    mask_row = ((n + 31) // 32) * 4
    mask = b'\0' * (mask_row * n)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask

sizes = (16, 32, 48)
images = [entry(n) for n in sizes]
out = struct.pack('<HHH', 0, 1, len(sizes))
offset = 6 + 16 * len(sizes)
for n, data in zip(sizes, images):
    out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
out += b''.join(images)
open(__file__.rsplit('/', 1)[0] + '/mehrfachausgabe.ico' if '/' in __file__ else 'mehrfachausgabe.ico', 'wb').write(out)
