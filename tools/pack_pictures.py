#!/usr/bin/env python3
"""Deflates pictures for the exe's resources: each FILE becomes OUT_DIR/NAME.z,
a zlib stream (level 9) that the wizard's picture decoder inflates.

    pack_pictures.py OUT_DIR FILE...
"""
import pathlib
import sys
import zlib


def main() -> int:
    out = pathlib.Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name in sys.argv[2:]:
        source = pathlib.Path(name)
        (out / (source.name + ".z")).write_bytes(zlib.compress(source.read_bytes(), 9))
    return 0


if __name__ == "__main__":
    sys.exit(main())
