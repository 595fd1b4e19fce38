#!/usr/bin/env python3
"""The step figures of tools/bench.sh from one walk of step_probe.

Reads step_probe's output (OUT: "clock LABEL TICK" at each click, "LABEL MS"
when what follows is shown and takes input, "pid PID") and Wine's trace of
the same walk (TRACE: WINEDEBUG=+pid,+timestamp,+relay of the spooler and
file calls), and prints, per step, "LABEL MS" and "LABEL work MS": the time
the program spent in those calls (outermost calls only) between the step's
click and its end.
    bench_steps.py OUT TRACE
"""
import re
import sys

# Relayed API calls only (DLL.EXT.NAME, or KERNEL32.NAME), not the window
# procedures and DLL entry points the relay trace shows too.
CALL = re.compile(r"(\d+)\.(\d+):([0-9a-f]{4}):([0-9a-f]{4}):(Call|Ret) +\w+(?:\.\w+)?\.\w+\(")


def calls(trace_path, pid):
    """(start_ms, end_ms) of the outermost relayed calls of process pid."""
    spans, depth, begun = [], {}, {}
    for line in open(trace_path, errors="replace"):
        m = CALL.match(line)
        if not m or m.group(3) != pid:
            continue
        t = int(m.group(1)) * 1000 + int(m.group(2))
        tid = m.group(4)
        if m.group(5) == "Call":
            if depth.get(tid, 0) == 0:
                begun[tid] = t
            depth[tid] = depth.get(tid, 0) + 1
        elif depth.get(tid, 0) > 0:
            depth[tid] -= 1
            if depth[tid] == 0:
                spans.append((begun[tid], t))
    return spans


def main():
    out = open(sys.argv[1], errors="replace").read().replace("\r", "").splitlines()
    pids = [line.split()[1] for line in out if line.startswith("pid ")]
    clock = None
    spans = []
    for line in out:
        f = line.split(" ")
        if f[0] == "pid":
            spans = calls(sys.argv[2], f[1]) if len(sys.argv) > 2 else []
        elif f[0] == "clock":
            clock = int(f[-1])
        elif f[0] != "step_probe:" and clock is not None and len(f) >= 2:
            label, ms = " ".join(f[:-1]), float(f[-1])
            print(label, ms)
            if label.endswith(" window") or label.endswith(" process"):
                continue
            end = clock + ms
            work = sum(min(b, end) - max(a, clock) for a, b in spans if b >= clock and a <= end)
            print(label + " work", work)
    return 0 if pids else 1


sys.exit(main())
