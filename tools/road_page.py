#!/usr/bin/python3
"""Checks a printed test page (PostScript) for the road test.

  road_page.py JOB.ps --ip A --printer P --computer C --driver N

Extracts the page's text with Ghostscript's text device (each run of text
with its baseline, in points from the top-left corner) and checks that every
caption and value of the test page is there, each alone in its own box: its
left edge within 1 mm of the box's left edge and its baseline inside the box.
Prints every run found and one line per check ("ok: ..." or "FAIL: ...");
exits 1 when a check fails.
"""

import argparse
import html
import re
import subprocess
import sys

MM = 25.4 / 72.0  # millimetres per point
MARGIN = 10.0
# The detail band starts below the page header, title and column header.
DETAIL_TOP = MARGIN + 6.8 + 22.4 + 24.1

# (text or value name, left, top, width, height) of the detail band's boxes,
# in mm from the band's top-left corner.
BOXES = [
    ("Congratulations !", 18.6, 20.3, 84.9, 7.0),
    ("Server IP Adderss:", 33.9, 62.7, 39.2, 7.0),
    ("ip", 77.9, 62.7, 64.6, 7.4),
    ("Printer:", 33.9, 71.1, 29.0, 7.0),
    ("printer", 77.9, 70.7, 73.0, 7.4),
    ("Computer Name:", 33.9, 78.7, 37.5, 7.0),
    ("computer", 77.9, 78.3, 32.4, 7.4),
    ("Wizard Version:", 33.9, 87.0, 37.5, 7.0),
    ("1000", 77.9, 86.6, 32.4, 7.4),
    ("Driver Version:", 33.9, 95.5, 37.5, 7.0),
    ("driver", 77.9, 95.0, 25.6, 7.4),
    ("This is the end of the printer test page", 18.6, 169.3, 117.1, 7.0),
]


def runs(ps):
    """Text runs of the first page: (text, left mm, baseline mm)."""
    out = subprocess.run(
        ["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=txtwrite", "-dTextFormat=1",
         "-dLastPage=1", "-sOutputFile=-", ps],
        capture_output=True, text=True, timeout=120, check=True).stdout
    found = []
    for span in re.finditer(r'<span bbox="([\d.]+) ([\d.]+) [\d.]+ [\d.]+"[^>]*>(.*?)</span>',
                            out, re.S):
        chars = re.findall(r'<char [^>]*c="([^"]*)"', span.group(3))
        text = html.unescape("".join(chars)).replace("\u00a0", " ")
        found.append((text, float(span.group(1)) * MM, float(span.group(2)) * MM))
    return found


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("ps")
    ap.add_argument("--ip", required=True)
    ap.add_argument("--printer", required=True)
    ap.add_argument("--computer", required=True)
    ap.add_argument("--driver", required=True)
    a = ap.parse_args()
    values = {"ip": a.ip, "printer": a.printer, "computer": a.computer, "driver": a.driver}

    found = runs(a.ps)
    for text, x, y in found:
        print(f"  {x:6.1f} {y:6.1f} mm  {text}")
    failed = 0
    for name, left, top, width, height in BOXES:
        want = values.get(name, name)
        box_left, box_top = MARGIN + left, DETAIL_TOP + top
        # The runs whose start and baseline lie in the box, left to right.
        inside = sorted((x, t) for t, x, y in found
                        if box_left - 1.0 <= x < box_left + width and box_top < y <= box_top + height)
        text = " ".join(" ".join(t for _, t in inside).split())
        where = f"box {box_left:.1f}, {box_top:.1f}..{box_top + height:.1f} mm"
        if text == want and abs(inside[0][0] - box_left) <= 1.0:
            print(f"ok: '{want}' at {inside[0][0]:.1f} mm ({where})")
        else:
            failed += 1
            print(f"FAIL: '{want}' not in its {where}: found '{text}'")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
