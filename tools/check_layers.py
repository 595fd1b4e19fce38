#!/usr/bin/env python3
"""Fails when a product file includes a header of a folder above its own.

The order, top to bottom: app (start-up), pages, the features, app/state,
gui, pictures, platform; the features' journal sits on the platform alone.  A folder may include itself and what is below it;
tests/ and tools/ may include anything.
"""
import pathlib
import re
import sys

FEATURES = ["discovery", "monitor", "printers", "report"]
# What each folder may include besides itself.
BELOW = {
    "platform": [],
    "journal": ["platform"],
    "pictures": ["platform"],
    "gui": ["pictures", "platform"],
    "app/state": ["gui", "pictures", "platform"],
    # A feature may use the features listed for it.
    "discovery": ["app/state", "gui", "pictures", "journal", "platform"],
    "printers": ["app/state", "gui", "pictures", "journal", "platform"],
    "report": ["app/state", "gui", "pictures", "journal", "platform"],
    "monitor": ["printers", "app/state", "gui", "pictures", "journal", "platform"],
    "pages": FEATURES + ["app/state", "gui", "pictures", "journal", "platform"],
    "app": ["pages"] + FEATURES + ["app/state", "gui", "pictures", "journal", "platform"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path: str) -> str | None:
    for name in sorted(BELOW, key=len, reverse=True):
        if path == name or path.startswith(name + "/"):
            return name
    return None


def main() -> int:
    top = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    problems = []
    for file in sorted(top.rglob("*")):
        if file.suffix not in (".h", ".cpp") or "build" in file.relative_to(top).parts:
            continue
        rel = file.relative_to(top).as_posix()
        own = folder_of(rel)
        if own is None:
            continue
        allowed = [own] + BELOW[own]
        for number, line in enumerate(file.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            target = folder_of(m.group(1))
            if target is not None and target not in allowed:
                problems.append(f"{rel}:{number}: {own}/ includes {m.group(1)} from {target}/")
    for p in problems:
        print(p)
    print(f"layers: {len(problems)} upward include(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
