#!/usr/bin/env python3
"""Writes the window's icon, src/app/win32/Zanprobe7.ico: a magnifying glass over a report page,
drawn at 16, 24, 32, 48 and 256 pixels (32-bit colour with alpha; the 256-pixel image stored as
PNG, as Windows expects it). Run it again after changing the picture."""
import math
import struct
import sys
import zlib

SIZES = [16, 24, 32, 48, 256]
SAMPLES = 4  # per pixel and axis, for smooth edges

# The picture on a unit square, later shapes over earlier ones: (shape, colour RGBA).
PAGE = (0.06, 0.03, 0.72, 0.86)  # left, top, right, bottom
LENS_CENTRE = (0.55, 0.56)
LENS_RADIUS = 0.22
RIM = 0.06
HANDLE = ((0.70, 0.72), (0.93, 0.95), 0.065)  # from, to, half width
FRAME = (64, 64, 64, 255)
PAPER = (255, 255, 255, 255)
TEXT = (128, 128, 128, 255)
GLASS = (160, 208, 255, 255)
METAL = (0, 64, 160, 255)
WOOD = (128, 64, 0, 255)


def in_rect(x, y, rect):
    left, top, right, bottom = rect
    return left <= x <= right and top <= y <= bottom


def distance_to_segment(x, y, start, end):
    (ax, ay), (bx, by) = start, end
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def colour_at(x, y, size):
    """The colour of the picture at a point, or None where it is transparent."""
    colour = None
    border = max(1.0 / size, 0.035)
    if in_rect(x, y, PAGE):
        left, top, right, bottom = PAGE
        colour = PAPER
        if min(x - left, right - x, y - top, bottom - y) < border:
            colour = FRAME
        else:
            # Lines of text: fewer and thicker on small images, so that they stay visible.
            lines = 4 if size < 32 else 7
            pitch = (bottom - top - 4 * border) / lines
            row = (y - top - 2 * border) / pitch
            if 0 <= row < lines and row % 1 < 0.45 and x < right - 3 * border:
                colour = TEXT
    lx, ly = LENS_CENTRE
    r = math.hypot(x - lx, y - ly)
    (start, end, half) = HANDLE
    if distance_to_segment(x, y, start, end) < half:
        colour = WOOD
    if r < LENS_RADIUS + RIM:
        colour = METAL if r > LENS_RADIUS else GLASS
    return colour


def render(size):
    """Rows of RGBA bytes, top row first."""
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            totals = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    colour = colour_at((px + (sx + 0.5) / SAMPLES) / size,
                                       (py + (sy + 0.5) / SAMPLES) / size, size)
                    if colour:
                        for i in range(3):
                            totals[i] += colour[i] * colour[3]
                        totals[3] += colour[3]
            alpha = totals[3] / (SAMPLES * SAMPLES)
            if totals[3]:
                row += bytes(round(totals[i] / totals[3]) for i in range(3))
            else:
                row += b"\0\0\0"
            row.append(round(alpha))
        rows.append(bytes(row))
    return rows


def bitmap_image(size, rows):
    """A 32-bit DIB: header, BGRA pixels bottom row first, and the AND mask."""
    pixels = b"".join(
        b"".join(bytes((row[i + 2], row[i + 1], row[i], row[i + 3]))
                 for i in range(0, len(row), 4)) for row in reversed(rows))
    mask_row = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x in range(size):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    return header + pixels + mask


def png_image(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon():
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png_image(size, rows) if size >= 256 else bitmap_image(size, rows)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data),
                               offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "src/app/win32/Zanprobe7.ico"
    with open(target, "wb") as out:
        out.write(icon())
