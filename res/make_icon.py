#!/usr/bin/env python3
"""Draws the launcher icon with ImageMagick, or takes the operator's square picture
(a PNG of at least 256 pixels, given as the second argument), and packs it as an .ico
whose six images (256, 128, 64, 48, 32, 16) are all 8-bit RGBA PNGs. The same bytes on
every run: the PNGs carry pixels only, none of the dates ImageMagick would add."""
import os
import struct
import subprocess
import sys
import tempfile

SIZES = (256, 128, 64, 48, 32, 16)


def draw(path):
    # A gold V on a dark rounded square, the launcher's colours.
    subprocess.run([
        "convert", "-size", "256x256", "xc:none",
        "-fill", "#161c2e", "-stroke", "#f8de96", "-strokewidth", "6",
        "-draw", "roundrectangle 10,10 245,245 44,44",
        "-stroke", "none", "-fill", "#cea046",
        "-draw", "polygon 52,62 100,62 128,158 156,62 204,62 146,200 110,200",
        "-fill", "#946a20", "-draw", "polygon 128,158 156,62 204,62 146,200",
        "PNG32:" + path], check=True)


def main(out, picture=None):
    with tempfile.TemporaryDirectory() as work:
        # Each size is scaled from the operator's own picture, not from a 256 copy of it.
        master = picture or os.path.join(work, "master.png")
        if not picture:
            draw(master)
        images = []
        for size in SIZES:
            png = os.path.join(work, f"{size}.png")
            # -strip and no date or time chunks: a release build must not depend on when it ran.
            subprocess.run(["convert", master, "-resize", f"{size}x{size}", "-depth", "8", "-strip",
                            "-define", "png:exclude-chunks=date,time", "PNG32:" + png], check=True)
            with open(png, "rb") as f:
                images.append(f.read())
    header = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = len(header) + 16 * len(SIZES)
    directory, data = b"", b""
    for size, png in zip(SIZES, images):
        side = 0 if size == 256 else size  # 0 means 256 in an icon directory
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(png), offset + len(data))
        data += png
    with open(out, "wb") as f:
        f.write(header + directory + data)


if __name__ == "__main__":
    main(*sys.argv[1:3])
