#!/usr/bin/env python3
"""Packs PNG pictures into one Windows icon file, each picture an entry of its own size (Windows
reads PNG entries since Vista): make_ico.py <output.ico> <picture.png>..."""
import struct
import sys


def png_size(data: bytes, name: str) -> tuple[int, int]:
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"{name}: not a PNG picture")
    return struct.unpack(">II", data[16:24])


def main() -> None:
    if len(sys.argv) < 3:
        sys.exit("usage: make_ico.py <output.ico> <picture.png>...")
    pictures = []
    for name in sys.argv[2:]:
        with open(name, "rb") as file:
            data = file.read()
        width, height = png_size(data, name)
        if width > 256 or height > 256:
            sys.exit(f"{name}: an icon is at most 256 pixels square")
        pictures.append((width, height, data))
    # The directory (reserved, type 1 = icon, count), then an entry a picture (256 is written as
    # 0; 32 bits a pixel), then the pictures one after the other.
    out = struct.pack("<HHH", 0, 1, len(pictures))
    offset = 6 + 16 * len(pictures)
    for width, height, data in pictures:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in pictures)
    with open(sys.argv[1], "wb") as file:
        file.write(out)


main()
