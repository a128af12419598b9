#!/usr/bin/env python3
"""Draws the application icon, a bodypack sending radio waves.

The program's own icons, 16 x 16 and 32 x 32 pixels with at most 16 colours,
are drawn pixel by pixel and written as indexed PNG files into
src/window/desktop (the window embeds them). The icons for the desktop's icon
theme, 48 to 256 pixels and a scalable SVG, are drawn from shapes on the same
32-unit grid with smooth edges, and written into packaging/icons.

Usage: scripts/draw-icon.py [output folder]   (default: the two folders above)
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


def png_chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)


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

        header = struct.pack('>IIBBBBB', self.size, self.size, 4, 3, 0, 0, 0)
        palette = b''.join(bytes(PALETTE[n][:3]) for n in NAMES)
        alpha = bytes(PALETTE[n][3] for n in NAMES)
        return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', header) + png_chunk(b'PLTE', palette)
                + png_chunk(b'tRNS', alpha) + png_chunk(b'IDAT', zlib.compress(rows, 9)) + png_chunk(b'IEND', b''))


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


# The 32-pixel bodypack as shapes on its 32-unit grid, bottom first. A pixel
# rectangle from x0 to x1 (inclusive) covers the units x0 to x1 + 1.
SHAPES = (
    ('arc', 20, 7, 4.5, 1.6, 50, 'wave_light'),
    ('arc', 20, 7, 8, 1.8, 50, 'wave'),
    ('rect', 18, 5, 20, 11, 0, 'antenna'),
    ('rect', 17, 4, 21, 6, 0.5, 'outline'),
    ('rect', 6, 10, 24, 31, 3.5, 'outline'),
    ('rect', 7, 11, 23, 30, 2.5, 'body'),
    ('rect', 7, 13, 8, 28, 0, 'light'),
    ('rect', 22, 13, 23, 28, 0, 'shadow'),
    ('rect', 9, 13, 21, 20, 0.5, 'screen_edge'),
    ('rect', 10, 14, 20, 19, 0, 'screen'),
    ('rect', 11, 16, 15, 17, 0, 'screen_edge'),
    ('rect', 19, 11, 21, 12, 0.5, 'led'),
    ('rect', 9, 22, 12, 24, 0.5, 'key'),
    ('rect', 13, 22, 16, 24, 0.5, 'key'),
    ('rect', 17, 22, 20, 24, 0.5, 'key'),
    ('rect', 9, 26, 21, 27, 0, 'shadow'),
    ('rect', 9, 28, 21, 29, 0, 'shadow'),
)
GRID = 32


def arc_ends(cx, cy, radius, half_angle):
    a = math.radians(half_angle)
    return ((cx + radius * math.cos(-a), cy + radius * math.sin(-a)),
            (cx + radius * math.cos(a), cy + radius * math.sin(a)))


def distance(shape, x, y):
    """Signed distance in grid units from (x, y) to the shape's edge, negative inside."""
    kind, *args = shape
    if kind == 'rect':
        x0, y0, x1, y1, radius = args[:5]
        hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius
        qx, qy = abs(x - (x0 + x1) / 2) - hx, abs(y - (y0 + y1) / 2) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius
    cx, cy, radius, width, half_angle = args[:5]
    dx, dy = x - cx, y - cy
    if abs(math.degrees(math.atan2(dy, dx))) <= half_angle:
        return abs(math.hypot(dx, dy) - radius) - width / 2
    # Round ends, as the SVG's stroke-linecap draws them.
    return min(math.hypot(x - ex, y - ey) for ex, ey in arc_ends(cx, cy, radius, half_angle)) - width / 2


def bounds(shape):
    kind, *args = shape
    if kind == 'rect':
        return args[:4]
    cx, cy, radius, width, _ = args[:5]
    reach = radius + width
    return cx - reach, cy - reach, cx + reach, cy + reach


def render(size):
    """The shapes at size x size pixels in RGBA, edges smoothed by their distance."""
    scale = size / GRID
    pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for shape in SHAPES:
        red, green, blue, _ = PALETTE[shape[-1]]
        x0, y0, x1, y1 = bounds(shape)
        for py in range(max(0, int(y0 * scale) - 1), min(size, int(y1 * scale) + 2)):
            for px in range(max(0, int(x0 * scale) - 1), min(size, int(x1 * scale) + 2)):
                d = distance(shape, (px + 0.5) / scale, (py + 0.5) / scale) * scale
                cover = min(max(0.5 - d, 0.0), 1.0)
                if cover == 0.0:
                    continue
                r, g, b, a = pixels[py][px]
                keep = a * (1 - cover)
                alpha = cover + keep
                pixels[py][px] = ((red * cover + r * keep) / alpha, (green * cover + g * keep) / alpha,
                                  (blue * cover + b * keep) / alpha, alpha)
    return pixels


def rgba_png(pixels):
    size = len(pixels)
    rows = b''.join(b'\x00' + bytes(round(min(max(v, 0), 255)) for r, g, b, a in row for v in (r, g, b, a * 255))
                    for row in pixels)
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', header) + png_chunk(b'IDAT', zlib.compress(rows, 9))
            + png_chunk(b'IEND', b''))


def svg():
    def hex_colour(name):
        return '#%02x%02x%02x' % PALETTE[name][:3]

    lines = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{GRID}" height="{GRID}" viewBox="0 0 {GRID} {GRID}">']
    for shape in SHAPES:
        kind, *args = shape
        colour = hex_colour(shape[-1])
        if kind == 'rect':
            x0, y0, x1, y1, radius = args[:5]
            corner = f' rx="{radius:g}"' if radius else ''
            lines.append(f'  <rect x="{x0:g}" y="{y0:g}" width="{x1 - x0:g}" height="{y1 - y0:g}"{corner} '
                         f'fill="{colour}"/>')
        else:
            cx, cy, radius, width, half_angle = args[:5]
            (sx, sy), (ex, ey) = arc_ends(cx, cy, radius, half_angle)
            lines.append(f'  <path d="M {sx:.3f} {sy:.3f} A {radius:g} {radius:g} 0 0 1 {ex:.3f} {ey:.3f}" '
                         f'fill="none" stroke="{colour}" stroke-width="{width:g}" stroke-linecap="round"/>')
    lines.append('</svg>')
    return '\n'.join(lines) + '\n'


def main():
    root = Path(__file__).resolve().parent.parent
    chosen = Path(sys.argv[1]) if len(sys.argv) > 1 else None
    program_icons = chosen or root / 'src/window/desktop'
    theme_icons = chosen or root / 'packaging/icons'
    for folder in (program_icons, theme_icons):
        folder.mkdir(parents=True, exist_ok=True)
    for size, canvas in ((16, small()), (32, large())):
        (program_icons / f'nerio-config-{size}.png').write_bytes(canvas.png())
    for size in (48, 64, 128, 256):
        (theme_icons / f'nerio-config-{size}.png').write_bytes(rgba_png(render(size)))
    (theme_icons / 'nerio-config.svg').write_text(svg())


if __name__ == '__main__':
    main()
