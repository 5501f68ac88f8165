#!/usr/bin/env python3
"""Writes the starting inputs of scan_fuzzer into a folder (default: fuzz/corpus beside
this script). Layout of an input: see the top of scan_fuzzer.cpp."""
import os
import struct
import sys

MARKER = b"Change display setting"


def entry(data=b"", sizes=(), repeat=True, fail_at=None, scribble=False, padding=0, pad_byte=b"A",
         pad_after=False, stale_from=0):
    flags = len(sizes)
    assert flags < 16
    options = 0
    if fail_at is not None:
        flags |= 0x10
    if padding:
        flags |= 0x20
    if padding >= 65536:
        options |= 1
        padding -= 65536
    if scribble:
        flags |= 0x40
    if repeat and sizes:
        flags |= 0x80
    if pad_after:
        options |= 2
    options |= stale_from << 2
    header = bytes([flags, fail_at or 0]) + struct.pack("<H", padding) + pad_byte + bytes([options])
    header += b"".join(struct.pack("<H", s) for s in sizes)
    return header + data


ENTRIES = {
    "empty": entry(),
    "marker-minus-one-byte": entry(MARKER[:-1]),
    "marker-alone": entry(MARKER),
    "marker-at-0": entry(MARKER + b"\0 rest of the client"),
    "marker-then-zero": entry(b"xx" + MARKER + b"\0"),
    "marker-at-65530": entry(MARKER + b"tail", padding=65530),
    "marker-ends-at-65536": entry(MARKER, padding=65536 - len(MARKER)),
    "marker-starts-at-65536": entry(MARKER, padding=65536),
    "marker-across-second-boundary": entry(MARKER, padding=2 * 65536 - 11),
    "marker-at-end": entry(MARKER, padding=100000, pad_byte=b"\0"),
    "marker-then-padding": entry(b"MZ" + MARKER, padding=70000, pad_after=True),
    "short-reads": entry(b"12345" + MARKER + b"67890", sizes=(1, 7, 0xFFFF)),
    "one-byte-reads": entry(b"ab" + MARKER, sizes=(1,)),
    "reads-of-eleven": entry(b"x" * 30 + MARKER, sizes=(11,)),
    "short-first-read-then-full": entry(b"y" * 30 + MARKER, sizes=(5,), repeat=False, padding=65536 + 7),
    "zero-read-before-marker": entry(b"x" * 40 + MARKER, sizes=(40, 0)),
    "failing-read-before-marker": entry(b"x" * 40 + MARKER, sizes=(40,), fail_at=1),
    "failing-read-scribbles": entry(b"x" * 40 + MARKER, sizes=(40,), fail_at=1, scribble=True),
    "failing-first-read": entry(MARKER, fail_at=0, scribble=True),
    "near-miss-last-letter": entry(b"Change display settinG" + b"Change display settin"),
    "near-miss-first-letter": entry(b"hange display setting" + b"Bhange display setting"),
    "near-miss-two-blanks": entry(b"Change  display setting"),
    "near-miss-repeated-prefix": entry(b"ChangeChange display Change display settin"),
    "lower-case": entry(MARKER.lower()),
    "upper-case": entry(MARKER.upper()),
    "utf-16le": entry(MARKER.decode().encode("utf-16-le")),
    "utf-16be": entry(MARKER.decode().encode("utf-16-be")),
    "tail-bytes-repeated": entry(b"g" * 64 + b"ng" * 40, sizes=(3, 5)),
    # The delivered bytes end in all but the marker's last letter, and the stale
    # bytes after them start with it.
    "stale-byte-would-complete": entry(b"x" + MARKER[:-1], stale_from=21),
    "stale-bytes-would-complete-across-reads": entry(b"yy" + MARKER[:10], sizes=(5,), stale_from=10),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    os.makedirs(folder, exist_ok=True)
    for name, data in ENTRIES.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
