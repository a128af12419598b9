#!/usr/bin/env python3
"""Draws the application icon, a bodypack sending radio waves, in 16 x 16 and
32 x 32 pixels with at most 16 colours, and writes it as indexed PNG files.

Usage: scripts/draw-icon.py [output folder]   (default: src/window/desktop)
Only the Python standard library is needed.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

PALETTE = {
    'clear': (0, 0, 0, 0),
    'outline': (27, 38, 48, 255),
    'body': (60, 90, 115, 255),
    'light': (95, 132, 163, 255),
    'shadow': (42, 65, 83, 255),
    'screen': (127, 209, 198, 255),
    'screen_edge': (63, 158, 146, 255),
    'wave': (242, 154, 46, 255),
    'wave_light': (248, 196, 113, 255),
    'antenna': (32, 38, 43, 255),
    'led': (217, 66, 59, 255),
    'key': (154, 167, 177, 255),
}
NAMES = list(PALETTE)
assert len(NAMES) <= 16


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [['clear'] * size for _ in range(size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def rounded(self, x0, y0, x1, y1, radius, fill, outline):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                cx = min(max(x, x0 + radius), x1 - radius)
                cy = min(max(y, y0 + radius), y1 - radius)
                d = math.hypot(x - cx, y - cy)
                if d <= radius + 0.3:
                    edge = x in (x0, x1) or y in (y0, y1) or d > radius - 0.7
                    self.put(x, y, outline if edge else fill)

    def arc(self, cx, cy, radius, width, colour, half_angle=55):
        for y in range(self.size):
            for x in range(self.size):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                if dx <= 0 or abs(math.degrees(math.atan2(dy, dx))) > half_angle:
                    continue
                if abs(math.hypot(dx, dy) - radius) <= width / 2:
                    self.put(x, y, colour)

    def png(self):
        rows = b''
        for row in self.pixels:
            indexes = [NAMES.index(c) for c in row]
            packed = bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, self.size, 2))
            rows += b'\x00' + packed

        def chunk(kind, data):
            body = kind + data
            return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack('>IIBBBBB', self.size, self.size, 4, 3, 0, 0, 0)
        palette = b''.join(bytes(PALETTE[n][:3]) for n in NAMES)
        alpha = bytes(PALETTE[n][3] for n in NAMES)
        return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'PLTE', palette) + chunk(b'tRNS', alpha)
                + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


def large():
    c = Canvas(32)
    c.arc(20, 7, 4.5, 1.6, 'wave_light', 50)
    c.arc(20, 7, 8, 1.8, 'wave', 50)
    c.rect(18, 5, 19, 10, 'antenna')
    c.rect(17, 4, 20, 5, 'outline')
    c.rounded(6, 10, 23, 30, 3, 'body', 'outline')
    c.rect(7, 13, 7, 27, 'light')
    c.rect(22, 13, 22, 27, 'shadow')
    c.rect(9, 13, 20, 19, 'screen_edge')
    c.rect(10, 14, 19, 18, 'screen')
    c.rect(11, 16, 14, 16, 'screen_edge')
    c.rect(19, 11, 20, 11, 'led')
    for x in (9, 13, 17):
        c.rect(x, 22, x + 2, 23, 'key')
    for y in (26, 28):
        c.rect(9, y, 20, y, 'shadow')
    return c


def small():
    c = Canvas(16)
    c.arc(10, 4, 2.5, 1.2, 'wave_light', 50)
    c.arc(10, 4, 4.6, 1.3, 'wave', 50)
    c.rect(9, 3, 9, 5, 'antenna')
    c.rounded(3, 6, 11, 15, 1, 'body', 'outline')
    c.rect(5, 8, 9, 10, 'screen')
    for x in (5, 7, 9):
        c.put(x, 13, 'key')
    c.put(10, 7, 'led')
    return c


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'src/window/desktop')
    folder.mkdir(parents=True, exist_ok=True)
    for size, canvas in ((16, small()), (32, large())):
        (folder / f'nerio-config-{size}.png').write_bytes(canvas.png())


if __name__ == '__main__':
    main()
