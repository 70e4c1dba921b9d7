#!/usr/bin/env python3
"""Draws the program's pictures (icons) as files the resource compiler reads.

usage: make_images.py OUTPUT_DIR
"""
import struct
import sys
from pathlib import Path


def sheet_pixels(size):
    """A plotter sheet: white paper with a blue frame and a drawn outline, on a dark blue ground."""
    px = []
    for y in range(size):
        row = []
        for x in range(size):
            m = size // 8
            inside = m <= x < size - m and m <= y < size - m
            if not inside:
                row.append((0x20, 0x40, 0x80, 0xFF))
                continue
            edge = x in (m, size - m - 1) or y in (m, size - m - 1)
            s = size // 4
            drawing = (x in (s, size - s - 1) and s <= y < size - s) or \
                      (y in (s, size - s - 1) and s <= x < size - s) or \
                      (x - s == y - s and s <= x < size - s)
            if edge:
                row.append((0x30, 0x60, 0xC0, 0xFF))
            elif drawing:
                row.append((0xD0, 0x30, 0x20, 0xFF))
            else:
                row.append((0xFF, 0xFF, 0xFF, 0xFF))
        px.append(row)
    return px


def ico_bytes(sizes):
    images = []
    for size in sizes:
        px = sheet_pixels(size)
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = b''.join(struct.pack('BBBB', b, g, r, a)
                       for row in reversed(px) for (r, g, b, a) in row)
        mask_row = ((size + 31) // 32) * 4
        and_mask = b'\0' * (mask_row * size)
        images.append((size, header + xor + and_mask))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, data in images)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / 'tovrel.ico').write_bytes(ico_bytes([32, 48]))
    (out / 'small.ico').write_bytes(ico_bytes([16]))


if __name__ == '__main__':
    main()
