#!/usr/bin/python3
"""Makes an MSI that wixl packed the same for the same contents.

wixl writes a random package code and the wall-clock time into the
package's summary information and cannot be told otherwise.  This sets
both times (created, last saved) to the build's time and the package code
to a GUID derived from the whole package with them set, so that the same
contents give the same package, and different contents another package
code, as Windows Installer requires.  The summary stream keeps its size
(a GUID text for a GUID text, a FILETIME for a FILETIME): olefile rewrites
it in place.

    msi_summary.py PACKAGE.msi SOURCE_DATE_EPOCH
"""
import hashlib
import struct
import sys
import uuid

import olefile

STREAM = "\x05SummaryInformation"
PID_REVNUMBER = 9  # the package code
PID_CREATE_DTM = 12
PID_LASTSAVE_DTM = 13
VT_LPSTR = 30
VT_FILETIME = 64
# The namespace of the package codes made here (any fixed GUID would do).
PACKAGE_NAMESPACE = uuid.UUID("5b0e4a1c-7f3d-4c2e-9a61-3d2f8e7b6c40")
PLACEHOLDER = "{00000000-0000-0000-0000-000000000000}"


def properties(data):
    """{property id: (type, offset of its value)} of the one section."""
    (section,) = struct.unpack_from("<I", data, 44)
    _, count = struct.unpack_from("<II", data, section)
    found = {}
    for i in range(count):
        pid, offset = struct.unpack_from("<II", data, section + 8 + 8 * i)
        (vt,) = struct.unpack_from("<I", data, section + offset)
        found[pid] = (vt, section + offset + 4)
    return found


def put_text(data, at, text):
    (size,) = struct.unpack_from("<I", data, at)
    value = text.encode("ascii") + b"\0"
    if len(value) != size:
        sys.exit(f"msi_summary: a text of {size} bytes cannot hold {text}")
    data[at + 4 : at + 4 + size] = value


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    path, epoch = sys.argv[1], int(sys.argv[2])
    filetime = (epoch + 11644473600) * 10**7
    ole = olefile.OleFileIO(path, write_mode=True)
    data = bytearray(ole.openstream(STREAM).read())
    props = properties(data)
    for pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM):
        vt, at = props[pid]
        if vt != VT_FILETIME:
            sys.exit(f"msi_summary: property {pid} is not a FILETIME")
        struct.pack_into("<Q", data, at, filetime)
    vt, at = props[PID_REVNUMBER]
    if vt != VT_LPSTR:
        sys.exit("msi_summary: the package code is not a text")
    put_text(data, at, PLACEHOLDER)
    ole.write_stream(STREAM, bytes(data))
    ole.close()

    with open(path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    code = "{" + str(uuid.uuid5(PACKAGE_NAMESPACE, digest)).upper() + "}"
    ole = olefile.OleFileIO(path, write_mode=True)
    put_text(data, at, code)
    ole.write_stream(STREAM, bytes(data))
    ole.close()
    print(f"msi_summary: {path}: package code {code}")


if __name__ == "__main__":
    main()
