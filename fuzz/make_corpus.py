#!/usr/bin/env python3
"""Writes the starting inputs of scan_fuzzer into a folder (default: fuzz/corpus beside
this script). Layout of an input: see the top of scan_fuzzer.cpp."""
import os
import struct
import sys

MARKER = b"Change display setting"


def entry(data, sizes=(), fails=False, padded=False):
    flags = len(sizes) | (0x10 if fails else 0) | (0x20 if padded else 0)
    return bytes([flags]) + b"".join(struct.pack("<H", s) for s in sizes) + data


INPUTS = {
    "empty": entry(b""),
    "marker-alone": entry(MARKER),
    "marker-at-end": entry(b"x" * 100 + MARKER),
    "marker-across-first-read": entry(b"x" + b"y" * 20 + MARKER, padded=True),
    "marker-across-tiny-reads": entry(b"ab" + MARKER + b"cd", sizes=(3, 5)),
    "short-reads-then-full": entry(b"q" * 40 + MARKER, sizes=(7, 65535)),
    "zero-read-before-marker": entry(b"z" * 30 + MARKER, sizes=(10, 0)),
    "failing-read-before-marker": entry(b"f" * 30 + MARKER, sizes=(16,), fails=True),
    "near-miss-last-letter": entry(MARKER[:-1] + b"G" + MARKER[:-1]),
    "near-misses-repeated": entry((MARKER[:-1] + b"?") * 50),
    "lower-case": entry(MARKER.lower()),
    "utf-16le": entry(MARKER.decode().encode("utf-16-le")),
}

folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(folder, exist_ok=True)
for name, data in INPUTS.items():
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
