#!/usr/bin/env python3
"""Writes the window's icon, src/app/win32/Zanprobe7.ico: one 16 x 16 image with a 256-colour
palette (a magnifying glass over a report page). Run it again after changing the picture."""
import struct
import sys

# One character a pixel: '.' transparent, the others index the palette below.
PICTURE = [
    "................",
    ".WWWWWWWWWK.....",
    ".WggggggWWWK....",
    ".WWWWWWWWWWWK...",
    ".WggggggggWWK...",
    ".WWWWWWWWWWWK...",
    ".WggggBBBBWWK...",
    ".WWWWBccccBWK...",
    ".WggBccccccBK...",
    ".WWWBccccccBK...",
    ".WggBccccccBK...",
    ".WWWWBccccBK....",
    ".KKKKKBBBBRR....",
    "...........RR...",
    "............RR..",
    ".............R..",
]
COLOURS = {  # (red, green, blue)
    "K": (64, 64, 64),
    "W": (255, 255, 255),
    "g": (128, 128, 128),
    "B": (0, 64, 160),
    "c": (160, 208, 255),
    "R": (128, 64, 0),
}


def icon():
    palette = [(0, 0, 0)] + list(COLOURS.values())
    palette += [(0, 0, 0)] * (256 - len(palette))
    index = {key: i + 1 for i, key in enumerate(COLOURS)}
    size = 16
    # The colour bitmap, bottom row first, then the AND mask (1 = transparent), rows padded to
    # four bytes.
    pixels = b"".join(
        bytes(index.get(ch, 0) for ch in row) for row in reversed(PICTURE))
    mask = b""
    for row in reversed(PICTURE):
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ch == "." else 0)
        mask += struct.pack(">H", bits) + b"\0\0"
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0,
                         len(pixels) + len(mask), 0, 0, 256, 0)
    colour_table = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + colour_table + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "src/app/win32/Zanprobe7.ico"
    with open(target, "wb") as out:
        out.write(icon())
