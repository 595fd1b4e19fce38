#!/usr/bin/env python3
"""The DLLs a shipped exe or DLL imports by name are Windows' known DLLs only
(CTest shipped.imports).  Windows looks for any other DLL in the program's
own folder first, before the program runs, so a DLL of that name left beside
it would run with its rights: such DLLs are bound late, by their full path
in the system folder (platform/win32/win32_late.h).  The functions the
program looks up at run time because older Windows lack them are not
imported either.

    check_imports.py OBJDUMP FILE...
"""
import re
import subprocess
import sys

# Known DLLs (the common controls count: the manifest's side-by-side
# reference redirects them to the system's own assembly).
KNOWN = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "comdlg32.dll",
    "ole32.dll", "oleaut32.dll", "msvcrt.dll", "ws2_32.dll", "comctl32.dll",
}
# Looked up at run time: missing on 9x, NT 4 and older 2000/XP/Vista/7
# (IsWow64Process: XP SP2; IsWow64Process2: Windows 10 1709).
RUN_TIME_ONLY = {"SetDefaultDllDirectories", "SetDllDirectoryA", "IsWow64Process",
                 "IsWow64Process2"}


def imports(objdump, path):
    """{dll: [function, ...]} from objdump's import tables."""
    text = subprocess.run([objdump, "-p", path], check=True, capture_output=True,
                          text=True).stdout
    table, dll = {}, None
    for line in text.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).lower()
            table[dll] = []
            continue
        # A function's line: its address, hint and name; a blank line after
        # them ends the DLL's list.
        m = re.match(r"\s*[0-9a-f]+\s+\d+\s+(\S+)$", line)
        if dll and m:
            table[dll].append(m.group(1))
        elif dll and table[dll] and not line.strip():
            dll = None
    return table


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    objdump, failed = sys.argv[1], False
    for path in sys.argv[2:]:
        table = imports(objdump, path)
        if "kernel32.dll" not in table:
            print(f"FAIL: {path}: no import table read")
            failed = True
            continue
        print(f"{path}: {' '.join(sorted(table))}")
        for dll, functions in sorted(table.items()):
            if dll not in KNOWN:
                print(f"FAIL: {path} imports {dll} ({', '.join(functions)}), not a known DLL")
                failed = True
            for f in functions:
                if f in RUN_TIME_ONLY:
                    print(f"FAIL: {path} imports {f} from {dll}: look it up at run time")
                    failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
