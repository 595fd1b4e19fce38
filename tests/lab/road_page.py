#!/usr/bin/python3
"""Checks a printed test page (PostScript) for the road test.

  road_page.py JOB.ps PREVIEW --ip A --printer P --computer C --driver N

PREVIEW is the native build's testpage_preview: it lays the same page out
with the same values, at 254 dpi (tenths of a millimetre) without a margin,
and lists every text box and the lines drawn in it.  The page's text comes
from Ghostscript's text device (each run of text with its baseline, in
points from the paper's top-left corner).  Each box's drawn text must be
there, alone in its box: its left edge within 1 mm of the box's and its
baseline inside the box.  Prints every run found and one line per box
("ok: ..." or "FAIL: ..."); exits 1 when a check fails.
"""

import argparse
import html
import re
import subprocess
import sys
import tempfile

MM = 25.4 / 72.0  # millimetres per point


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


def boxes(preview, values):
    """The layout's text boxes: (name, left, top, right, bottom in mm, drawn text)."""
    with tempfile.NamedTemporaryFile(suffix=".png") as png:
        out = subprocess.run(
            [preview, png.name, "--dpi", "254", "--offset", "0", "--ip", values["ip"],
             "--printer", values["printer"], "--computer", values["computer"],
             "--driver", values["driver"]],
            capture_output=True, text=True, timeout=120, check=True).stdout
    found = []
    for line in out.splitlines():
        m = re.match(r"(\w+)\s+box\s+(-?\d+)\s+(-?\d+)\s+(-?\d+)\s+(-?\d+)$", line)
        if m:
            found.append([m.group(1)] + [int(v) / 10.0 for v in m.groups()[1:]] + [[]])
            continue
        m = re.match(r"\s+\d+ (.*)$", line)
        if m and found and not m.group(1).startswith("cut: "):
            found[-1][5].append(m.group(1))
    return found


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("ps")
    ap.add_argument("preview")
    ap.add_argument("--ip", required=True)
    ap.add_argument("--printer", required=True)
    ap.add_argument("--computer", required=True)
    ap.add_argument("--driver", required=True)
    a = ap.parse_args()
    values = {"ip": a.ip, "printer": a.printer, "computer": a.computer, "driver": a.driver}

    found = runs(a.ps)
    for text, x, y in found:
        print(f"  {x:6.1f} {y:6.1f} mm  {text}")
    laid = boxes(a.preview, values)
    failed = 0 if laid else 1
    if not laid:
        print("FAIL: the preview listed no boxes")
    for name, left, top, right, bottom, lines in laid:
        want = " ".join(" ".join(lines).split())
        # The runs whose start and baseline lie in the box, left to right.
        inside = sorted((x, t) for t, x, y in found
                        if left - 1.0 <= x < right and top < y <= bottom)
        text = " ".join(" ".join(t for _, t in inside).split())
        where = f"{name} box {left:.1f}..{right:.1f}, {top:.1f}..{bottom:.1f} mm"
        if want and text == want and abs(inside[0][0] - left) <= 1.0:
            print(f"ok: '{want}' at {inside[0][0]:.1f} mm ({where})")
        else:
            failed += 1
            print(f"FAIL: '{want}' not in its {where}: found '{text}'")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
