#!/usr/bin/python3
"""Discovery client for the lab and checker for the self-test (stdlib only).

probe (inside labA):
  lab.sh exec labA /usr/bin/python3 tools/lansim_probe.py probe --out FILE
      [--bind 0.0.0.0:9999] [--to ADDR]... [--times 5] [--collect 1.0]
      [--payload-hex HEX]... [--rcvbuf BYTES] [--max-datagrams N] [--gap-ms MS]
  Sends the 512-byte GETINFO request (or each given payload in turn) --times
  times to each --to address in order (default 255.255.255.255, then
  10.77.0.255) from one socket with SO_BROADCAST, then collects whatever
  arrives for --collect seconds after the last send.  Writes JSON lines to --out:
    {"event":"sent","to":..,"i":..,"len":..,"hex":..,"t":..}
    {"event":"recv","src":..,"sport":..,"len":..,"hex":..,"t":..}
  Refuses to run unless it is inside the lab namespace named by LAB_NS (set
  by `lab.sh exec`), and to send to anything but 255.255.255.255 and
  10.77.0.0/16.

check (anywhere; reads files only):
  lansim_probe.py check --expect EXPECT.json --probe FILE --simlog FILE
  EXPECT.json = {
    "servers": [{"addr":.., "model": int, "name_hex":.., "nul": true,
                 "count": N, "sequence": ["reply", ...] (optional, exact
                 kinds in arrival order, "reply" = the exact expected reply),
                 "min_delay_ms": D (optional), "sport": 9999 (source port
                 of all its datagrams; default 9999)}],
    "requests": {"255.255.255.255": 5, "10.77.0.255": 5}  (exact counts of
                 well-formed requests in the simulator log, by destination),
    "requester": "10.77.0.1", "requester_port": 9999,
    "ignored": {"reason": count, ...}   (exact; default: none at all),
    "max_reply_span_ms": S (optional: first request to last reply, sim log)
  }
  Every datagram received must come from an expected server, or be one of
  the client's own datagrams looped back (Linux delivers a broadcast to the
  sender's own socket too).  Exit status 1 with a list of faults.
"""

import argparse
import ipaddress
import json
import os
import socket
import sys
import time

# The request and the namespace check are the simulator's own.
from lansim import REQUEST, in_lab_netns  # noqa: E402

LAB_NET = ipaddress.ip_network("10.77.0.0/16")
SO_RCVBUFFORCE = getattr(socket, "SO_RCVBUFFORCE", 33)


def hostport(s, default_port):
    host, _, port = s.rpartition(":")
    if not host:
        return s, default_port
    return host, int(port)


def cmd_probe(a):
    ns = os.environ.get("LAB_NS", "")
    if ns not in ("labA", "labB") or not in_lab_netns(ns):
        print(f"probe: refusing to run: not inside the lab namespace LAB_NS={ns!r} "
              "(start it with: tools/lab.sh exec labA ...)", file=sys.stderr)
        return 2
    targets = a.to or ["255.255.255.255", "10.77.0.255"]
    for t in targets:
        ip = ipaddress.ip_address(t)
        if str(ip) != "255.255.255.255" and ip not in LAB_NET:
            print(f"probe: refusing to send to {t}", file=sys.stderr)
            return 2
    if not (0 < a.times <= 100 and 0 <= a.collect <= 60 and 0 < a.max_datagrams <= 1_000_000):
        print("probe: --times 1..100, --collect 0..60 please", file=sys.stderr)
        return 2
    payloads = [bytes.fromhex(h) for h in a.payload_hex] if a.payload_hex else [REQUEST]
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
    try:
        s.setsockopt(socket.SOL_SOCKET, SO_RCVBUFFORCE, a.rcvbuf)
    except OSError:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, a.rcvbuf)
    s.bind(hostport(a.bind, 9999))
    out = open(a.out, "w") if a.out else sys.stdout
    t0 = time.time()
    recs = []
    for payload in payloads:
        for t in targets:
            for i in range(a.times):
                s.sendto(payload, (t, a.port))
                recs.append({"event": "sent", "to": t, "i": i, "len": len(payload),
                             "hex": payload.hex(), "t": round(time.time(), 6)})
                if a.gap_ms:
                    time.sleep(a.gap_ms / 1000.0)
    end = time.monotonic() + a.collect
    n = 0
    while n < a.max_datagrams:
        left = end - time.monotonic()
        if left <= 0:
            break
        s.settimeout(left)
        try:
            data, src = s.recvfrom(65536)
        except socket.timeout:
            break
        n += 1
        recs.append({"event": "recv", "src": src[0], "sport": src[1], "len": len(data),
                     "hex": data.hex(), "t": round(time.time(), 6)})
    for r in recs:
        out.write(json.dumps(r) + "\n")
    out.flush()
    got = sum(1 for r in recs if r["event"] == "recv")
    print(f"probe: sent {len(payloads) * len(targets) * a.times}, received {got} in {time.time() - t0:.2f} s",
          file=sys.stderr)
    return 0


def read_jsonl(path):
    with open(path, encoding="utf-8") as f:
        return [json.loads(line) for line in f if line.strip()]


def kind_of(data, expected_reply):
    """Name the kind of a datagram, independent of the simulator's code."""
    if data == expected_reply:
        return "reply"
    if data == REQUEST:
        return "request"
    if len(data) < 8:
        return "short"
    if data[0] != 0x0C:
        return "foreign"
    if data[1] == 0x17:
        return "bad-type"
    if data[1] == 0x16 and data[2:4] == b"\x20\x00":
        return "bad-opcode"
    if data[1] == 0x16 and data[2:4] == b"\x1f\x00" and len(data) > 512:
        return "oversize"
    return "other:" + data[:8].hex()


def cmd_check(a):
    with open(a.expect, encoding="utf-8") as f:
        exp = json.load(f)
    probe = read_jsonl(a.probe)
    sim = read_jsonl(a.simlog)
    faults = []
    requester = exp.get("requester", "10.77.0.1")
    rport = exp.get("requester_port", 9999)

    recv = [r for r in probe if r["event"] == "recv"]
    sent = [r for r in probe if r["event"] == "sent"]
    by_src = {}
    for r in recv:
        by_src.setdefault(r["src"], []).append(r)
    own = by_src.pop(requester, [])
    own_sent = {r["hex"] for r in sent}
    for r in own:
        if r["hex"] not in own_sent:
            faults.append(f"datagram from the requester's own address that it did not send: {r['hex'][:32]}")
    servers = {s["addr"]: s for s in exp["servers"]}
    for src in sorted(set(by_src) - set(servers)):
        faults.append(f"{len(by_src[src])} datagrams from unexpected source {src}")
    total = 0
    for addr, s in servers.items():
        name = bytes.fromhex(s.get("name_hex", ""))
        expected = (bytes([0x0C, 0x16, 0x1F, 0x00]) + int(s["model"]).to_bytes(4, "little")
                    + name + (b"\0" if s.get("nul", True) else b""))
        got = by_src.get(addr, [])
        kinds = [kind_of(bytes.fromhex(r["hex"]), expected) for r in got]
        ports = sorted({r["sport"] for r in got})
        if got and ports != [s.get("sport", 9999)]:
            faults.append(f"{addr}: source ports {ports}, want {s.get('sport', 9999)}")
        replies = kinds.count("reply")
        total += replies
        if replies != s["count"]:
            faults.append(f"{addr}: {replies} correct replies, want {s['count']}")
        if "sequence" in s:
            if kinds != s["sequence"]:
                faults.append(f"{addr}: arrival order {kinds[:12]}{'...' if len(kinds) > 12 else ''}, "
                              f"want {s['sequence'][:12]}{'...' if len(s['sequence']) > 12 else ''}")
        else:
            others = [k for k in kinds if k != "reply"]
            if others:
                faults.append(f"{addr}: unexpected datagrams {sorted(set(others))} "
                              f"(first: {got[kinds.index(others[0])]['hex'][:40]})")
        if "min_delay_ms" in s and got and sent:
            delay = (got[0]["t"] - sent[0]["t"]) * 1000.0
            if delay < s["min_delay_ms"]:
                faults.append(f"{addr}: first datagram after {delay:.0f} ms, want >= {s['min_delay_ms']} ms")

    reqs = [r for r in sim if r["event"] == "request"]
    counts = {}
    for r in reqs:
        counts[r["dst"]] = counts.get(r["dst"], 0) + 1
        if r["src"] != requester or r["sport"] != rport or r["len"] != 512:
            faults.append(f"simulator logged a request from {r['src']}:{r['sport']} len {r['len']}")
    if counts != exp["requests"]:
        faults.append(f"simulator requests by destination {counts}, want {exp['requests']}")
    ignored = {}
    for r in sim:
        if r["event"] == "ignored":
            ignored[r["reason"]] = ignored.get(r["reason"], 0) + 1
    if ignored != exp.get("ignored", {}):
        faults.append(f"simulator ignored {ignored}, want {exp.get('ignored', {})}")
    sim_replies = sum(r["n"] for r in sim if r["event"] == "sent" and r["what"] == "reply")
    if sim_replies != total or sim_replies != sum(s["count"] for s in servers.values()):
        faults.append(f"simulator sent {sim_replies} replies, client got {total} correct ones, "
                      f"want {sum(s['count'] for s in servers.values())}")
    if "max_reply_span_ms" in exp:
        t_sent = [r["t"] for r in sim if r["event"] == "sent"]
        if reqs and t_sent:
            span = (max(t_sent) - reqs[0]["t"]) * 1000.0
            print(f"check: first request to last reply: {span:.1f} ms", file=sys.stderr)
            if span > exp["max_reply_span_ms"]:
                faults.append(f"replies took {span:.0f} ms, want <= {exp['max_reply_span_ms']} ms")
        else:
            faults.append("no requests or no replies in the simulator log")
    for f in faults:
        print("check: FAULT: " + f, file=sys.stderr)
    if not faults:
        print(f"check: ok ({total} replies from {len(servers)} servers, "
              f"{len(own)} own requests looped back)", file=sys.stderr)
    return 1 if faults else 0


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = p.add_subparsers(dest="cmd", required=True)
    q = sub.add_parser("probe")
    q.add_argument("--bind", default="0.0.0.0:9999")
    q.add_argument("--to", action="append")
    q.add_argument("--port", type=int, default=9999)
    q.add_argument("--times", type=int, default=5)
    q.add_argument("--gap-ms", type=float, default=0)
    q.add_argument("--collect", type=float, default=1.0)
    q.add_argument("--payload-hex", action="append")
    q.add_argument("--rcvbuf", type=int, default=8 << 20)
    q.add_argument("--max-datagrams", type=int, default=100000)
    q.add_argument("--out")
    c = sub.add_parser("check")
    c.add_argument("--expect", required=True)
    c.add_argument("--probe", required=True)
    c.add_argument("--simlog", required=True)
    a = p.parse_args()
    return cmd_probe(a) if a.cmd == "probe" else cmd_check(a)


if __name__ == "__main__":
    sys.exit(main())
