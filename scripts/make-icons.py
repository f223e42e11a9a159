#!/usr/bin/env python3
"""Draws Vellix's icons and writes them as .ico files (16, 32 and 48 pixels, 32-bit colour).

  129 engine_on.ico   a green rounded square with a white "V": expansion is on
  132 engine_off.ico  the same in grey: expansion is off
  136 list_image.ico  a small sheet of text lines for the phrase list

Usage: scripts/make-icons.py [output folder]   (default: res/icons)
Pure Python: shapes are sampled 4 x 4 times per pixel for smooth edges.
"""
import math
import os
import struct
import sys

SIZES = (16, 32, 48)
SUPER = 4


def rounded_rect(x, y, x0, y0, x1, y1, r):
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1


def near_segment(x, y, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return math.hypot(x - px, y - py) <= half_width


def engine_icon(fill, edge):
    def shade(x, y):  # coordinates in 0..1
        if not rounded_rect(x, y, 0.03, 0.03, 0.97, 0.97, 0.2):
            return None
        if near_segment(x, y, 0.27, 0.25, 0.5, 0.76, 0.075) or \
           near_segment(x, y, 0.73, 0.25, 0.5, 0.76, 0.075):
            return (255, 255, 255)
        if not rounded_rect(x, y, 0.09, 0.09, 0.91, 0.91, 0.16):
            return edge
        return fill
    return shade


def list_icon(x, y):
    if not rounded_rect(x, y, 0.14, 0.04, 0.86, 0.96, 0.06):
        return None
    if not rounded_rect(x, y, 0.2, 0.1, 0.8, 0.9, 0.03):
        return (40, 80, 150)
    for top in (0.24, 0.42, 0.6, 0.78):
        if top - 0.05 <= y <= top + 0.05 and 0.3 <= x <= (0.7 if top != 0.78 else 0.55):
            return (40, 80, 150)
    return (250, 250, 250)


def render(shade, size):
    """Rows of (b, g, r, a) pixels, top row first."""
    rows = []
    n = SUPER * SUPER
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    c = shade((px + (sx + 0.5) / SUPER) / size, (py + (sy + 0.5) / SUPER) / size)
                    if c is not None:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((acc[2] // acc[3], acc[1] // acc[3], acc[0] // acc[3], 255 * acc[3] // n))
        rows.append(row)
    return rows


def bitmap_entry(rows, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes(p) for row in reversed(rows) for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def write_ico(path, shade):
    images = [(size, bitmap_entry(render(shade, size), size)) for size in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', 'res', 'icons')
    os.makedirs(folder, exist_ok=True)
    write_ico(os.path.join(folder, 'engine_on.ico'), engine_icon((46, 139, 87), (30, 100, 60)))
    write_ico(os.path.join(folder, 'engine_off.ico'), engine_icon((140, 140, 140), (100, 100, 100)))
    write_ico(os.path.join(folder, 'list_image.ico'), list_icon)


if __name__ == '__main__':
    main()
