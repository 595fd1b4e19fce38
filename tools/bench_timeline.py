#!/usr/bin/env python3
"""The start-up timeline of tools/bench.sh from traced starts.

Reads DIR/traceN.trace (WINEDEBUG=+timestamp,+loaddll,+relay of first_paint
and the program it starts) and DIR/traceN.out (first_paint's output: the
milliseconds to the first complete paint, then "start TICK"), and prints the
median time of each step after the process start.
    bench_timeline.py DIR PROGRAM.exe
"""
import glob
import os
import re
import statistics
import sys

LINE = re.compile(r"(\d+\.\d+):([0-9a-f]{4}):(.*)")
DLL = re.compile(r'Loaded L"[^"]*\\\\([^\\"]+)"')


def steps(trace_path, out_path, program):
    out = open(out_path, errors="replace").read().split()
    if len(out) < 3 or out[1] != "start":
        return None
    total, start = float(out[0]), int(out[2])
    found = []
    seen = set()

    def step(label, t, once=True):
        if once and label in seen:
            return
        seen.add(label)
        found.append((label, t * 1000 - start))

    launcher = None
    threads = None
    shown = False
    for line in open(trace_path, errors="replace"):
        m = LINE.match(line)
        if not m:
            continue
        t, tid, rest = float(m.group(1)), m.group(2), m.group(3)
        if launcher is None:
            launcher = tid
        if threads is None:
            if tid != launcher and "Loaded" in rest and program.lower() in rest.lower():
                threads = {tid}
                step("exe mapped", t)
            continue
        if tid not in threads:
            if tid != launcher and "Starting thread proc" in rest:
                threads.add(tid)
                step("receiver thread runs", t)
            continue
        if rest.startswith("Ret ") or "load_list" in rest or "window proc" in rest:
            continue
        d = DLL.search(rest)
        if d:
            step("  DLL " + d.group(1).lower(), t)
        elif "Starting thread proc" in rest:
            step("entry point (static DLLs attached)", t)
        elif "InitCommonControlsEx" in rest:
            step("InitCommonControlsEx", t)
        elif "FindWindowA" in rest and "TApplication" in rest:
            step("single-instance guard (FindWindowA)", t)
        elif "CreateWindowExA" in rest and '"TApplication"' in rest:
            step("application window", t)
        elif "CreateWindowExA" in rest and "TWizContainer" in rest and "(00010001," in rest:
            step("page window: " + re.findall(r'"([^"]*)"', rest)[1], t)
        elif "FindResourceA" in rest:
            step("picture " + re.findall(r'"([^"]*)"', rest)[0].lower(), t)
        elif "WSAStartup" in rest:
            step("WSAStartup", t)
        elif "ws2_32.socket" in rest:
            step("socket", t)
        elif "ws2_32.bind" in rest:
            step("bind", t)
        elif "CreateThread" in rest:
            step("CreateThread (receiver)", t)
        elif "EnumMonitorsA" in rest:
            step("welcome status (EnumMonitorsA)", t)
        elif "ShowWindow" in rest and ",00000005)" in rest and not shown:
            shown = True
            step("welcome page shown (ShowWindow)", t)
        elif "BeginPaint" in rest and shown:
            step("first WM_PAINT", t)
    found.append(("first complete paint (first_paint)", total))
    return found


def main():
    folder, program = sys.argv[1], sys.argv[2]
    runs = []
    for trace in sorted(glob.glob(os.path.join(folder, "trace*.trace"))):
        s = steps(trace, trace[: -len(".trace")] + ".out", program)
        if s:
            runs.append(dict(s))
    if not runs:
        print("no traced start completed")
        return
    labels = {label for r in runs for label in r}
    table = [(statistics.median([r[l] for r in runs if l in r]), l) for l in labels]
    for ms, label in sorted(table):
        print(f"{ms:8.1f}  {label}")
    print(f"({len(runs)} traced starts)")


main()
