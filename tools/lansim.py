#!/usr/bin/python3
"""LAN server simulator for the discovery tests (Python 3 standard library).

Runs inside the lab namespace labB (see tools/lab.sh) and plays any number of
print servers that answer the GETINFO broadcast on UDP port 9999:

  request  0C 15 1F 00 00 00 00 00 + 504 zero bytes (exactly 512 bytes)
  reply    0C 16 1F 00 <ProductId, 4 bytes LE> <name> 00   (at most 512)

Usage:
  lab.sh exec labB /usr/bin/python3 tools/lansim.py [CONFIG.json] [options]

  --log FILE          JSON lines log (default: stdout)
  --max-seconds S     exit by itself after S seconds (default 600)
  --max-sent N        never send more than N datagrams (default 200000)
  --max-received N    exit after receiving N datagrams (default 100000)
  --port P            port to listen on (default 9999)
  --server JSON       add one server, e.g. '{"addr":"10.77.0.3","model":"KX220",
                      "name":"Office"}' (repeatable)
  --count-servers N   add N servers on --first-addr (10.77.0.3) and up, models
                      cycling through --models (KX220,KX230), names from
                      --name-format ('HP LaserJet 1100 #{k}', k = 1..N) except
                      every --empty-every'th server (3; 0 = none) whose name
                      is empty; --repeats R and --delay-ms D apply to them
  --allow-net NET     addresses the simulator may bind and answer (10.77.0.0/16)
  --flood JSON        a steady stream from the start, unasked, e.g.
                      '{"from":"10.77.0.3","to":"10.77.0.1","kind":"foreign",
                      "rate":20000,"seconds":5}': "rate" datagrams a second
                      (1..200000) for "seconds" (0..60) from the socket of the
                      server on "from" to "to" (in --allow-net) port "port"
                      (9999); "kind" as for cues (raw: "hex"; oversize: "size");
                      a late datagram is sent at once, at most 64 in a row
                      (repeatable)

CONFIG.json: {"servers": [SERVER, ...], "max_seconds": .., "log": ..}; a
SERVER has
  addr        source address (one of labB's addresses)            required
  model       ProductId: integer, "0x00010000", "KX220" or "KX230" (0)
  name        printer name text, encoded with "encoding" (latin-1) ("")
  name_hex    the name as raw bytes in hex (overrides name)
  nul         end the name with a NUL byte (true); an empty name with
              nul=false gives an 8-byte reply
  overlong    name too long for 512 bytes: "truncate" (cut the name, keep
              the NUL, total 512), "cut" (cut at 512, no NUL) or "full"
              (send it all, oversize) (default "truncate")
  repeats     copies of the reply per request (1; 0 = silent server)
  delay_ms    delay before answering (0)
  prefix      prefix length of its subnet (24): a server answers requests to
              255.255.255.255, to its subnet's broadcast address and to its
              own address; a request to another directed broadcast is logged
              and not answered (as a real host on another subnet would drop it)
  reply_port  source port of its datagrams (9999; 0 = any; falls back to any
              if 9999 cannot be bound)
  cues        list of {"kind": K, "at": "before"|"after"|"instead",
              "count": 1, "every": "all"|"first", "requests": [SEQ, ...],
              "size": 600, "hex": ".."}
              sent to the requester around the replies ("requests": only
              for the requests with these numbers, the "seq" of the log,
              1 for the first request the simulator receives); K is
              foreign     the reply with ServiceId 0x0D
              bad-type    the reply with PacketType 0x17
              bad-opcode  the reply with OpCode 0x0020 (bytes 20 00)
              oversize    a valid reply padded with zeros to "size" (600) bytes
              short       4 bytes 0C 16 1F 00
              request     a GETINFO request (as if another PC asked)
              raw         the bytes given in "hex"
              "instead" replaces the replies for that request.

Log events (one JSON object a line, "t" = time.time()):
  ready    {servers: [addr...], pid}
  request  a well-formed GETINFO: {seq, src, sport, dst, ifindex, len, sock}
  ignored  anything else received: {..., reason}
  sent     {seq, server, to, port, what, len, n}
  exit     {reason, received, requests, sent}
  flood    {from, to, port, what, rate, seconds}; flood-end {from, n, dropped}
  also    unanswered {seq, dst} (no server answers that destination),
          bind-fallback {server, port, error}, send-dropped {server, what}
Exits by itself after --max-seconds, on SIGTERM/SIGINT, or on the limits.
Refuses to start unless it runs in the lab namespace named by LAB_NS (which
`lab.sh exec` sets after its guard passed).
"""

import argparse
import heapq
import ipaddress
import json
import os
import selectors
import signal
import socket
import struct
import sys
import time

SERVICE_ID = 0x0C
PT_REQUEST = 0x15
PT_REPLY = 0x16
OP_GETINFO = 0x001F
REQUEST_LEN = 512
REPLY_MAX = 512
HEADER = struct.Struct("<BBHI")
MODELS = {"KX220": 0x00010000, "KX230": 0x00020000}
REQUEST = HEADER.pack(SERVICE_ID, PT_REQUEST, OP_GETINFO, 0) + bytes(REQUEST_LEN - 8)

IP_PKTINFO = getattr(socket, "IP_PKTINFO", 8)
IP_FREEBIND = getattr(socket, "IP_FREEBIND", 15)
SO_RCVBUFFORCE = getattr(socket, "SO_RCVBUFFORCE", 33)
SO_SNDBUFFORCE = getattr(socket, "SO_SNDBUFFORCE", 32)
PKTINFO = struct.Struct("=i4s4s")  # ifindex, local address, header destination
LIMITED_BROADCAST = "255.255.255.255"


class ConfigError(Exception):
    pass


def parse_model(v):
    if isinstance(v, bool):
        raise ConfigError(f"bad model {v!r}")
    if isinstance(v, int):
        m = v
    elif isinstance(v, str) and v.upper() in MODELS:
        m = MODELS[v.upper()]
    elif isinstance(v, str):
        try:
            m = int(v, 0)
        except ValueError:
            raise ConfigError(f"bad model {v!r}") from None
    else:
        raise ConfigError(f"bad model {v!r}")
    if not 0 <= m <= 0xFFFFFFFF:
        raise ConfigError(f"model out of range: {v!r}")
    return m


def reply_header(model, service=SERVICE_ID, ptype=PT_REPLY, opcode=OP_GETINFO):
    return HEADER.pack(service, ptype, opcode, model)


class Server:
    KNOWN = {"addr", "model", "name", "name_hex", "encoding", "nul", "overlong",
             "repeats", "delay_ms", "prefix", "reply_port", "cues", "comment"}
    CUE_KINDS = {"foreign", "bad-type", "bad-opcode", "oversize", "short",
                 "request", "raw"}

    def __init__(self, d, allow_net):
        if not isinstance(d, dict):
            raise ConfigError(f"server must be an object: {d!r}")
        unknown = set(d) - self.KNOWN
        if unknown:
            raise ConfigError(f"unknown server keys {sorted(unknown)} in {d!r}")
        try:
            self.addr = str(ipaddress.IPv4Address(d["addr"]))
        except (KeyError, ValueError):
            raise ConfigError(f"server needs a valid IPv4 addr: {d!r}") from None
        if ipaddress.IPv4Address(self.addr) not in allow_net:
            raise ConfigError(f"server address {self.addr} is outside {allow_net}")
        self.model = parse_model(d.get("model", 0))
        if "name_hex" in d:
            self.name = bytes.fromhex(d["name_hex"])
        else:
            self.name = str(d.get("name", "")).encode(d.get("encoding", "latin-1"))
        self.nul = bool(d.get("nul", True))
        self.overlong = d.get("overlong", "truncate")
        if self.overlong not in ("truncate", "cut", "full"):
            raise ConfigError(f"bad overlong {self.overlong!r}")
        self.repeats = int(d.get("repeats", 1))
        self.delay = float(d.get("delay_ms", 0)) / 1000.0
        if not 0 <= self.repeats <= 1000 or not 0 <= self.delay <= 60:
            raise ConfigError(f"repeats 0..1000 and delay_ms 0..60000 please: {d!r}")
        prefix = int(d.get("prefix", 24))
        self.net = ipaddress.IPv4Network(f"{self.addr}/{prefix}", strict=False)
        self.broadcast = str(self.net.broadcast_address)
        self.reply_port = int(d.get("reply_port", 9999))
        self.cues = []
        for c in d.get("cues", []):
            kind = c.get("kind")
            if kind not in self.CUE_KINDS:
                raise ConfigError(f"bad cue kind {kind!r}")
            at = c.get("at", "before")
            if at not in ("before", "after", "instead"):
                raise ConfigError(f"bad cue at {at!r}")
            every = c.get("every", "all")
            if every not in ("all", "first"):
                raise ConfigError(f"bad cue every {every!r}")
            count = int(c.get("count", 1))
            if not 0 <= count <= 1000:
                raise ConfigError("cue count 0..1000 please")
            seqs = c.get("requests")
            if seqs is not None:
                if not isinstance(seqs, list) or not all(
                        isinstance(n, int) and not isinstance(n, bool) and n >= 1 for n in seqs):
                    raise ConfigError(f"cue requests must be a list of numbers from 1: {seqs!r}")
                seqs = frozenset(seqs)
            self.cues.append((at, every, count, kind, self.cue_bytes(c), seqs))
        self.reply = self.build_reply()
        self.answered = 0
        self.sock = None

    def build_reply(self):
        hdr = reply_header(self.model)
        body = self.name + (b"\0" if self.nul else b"")
        if len(hdr) + len(body) <= REPLY_MAX or self.overlong == "full":
            return hdr + body
        if self.overlong == "cut":
            return (hdr + self.name)[:REPLY_MAX]
        room = REPLY_MAX - len(hdr) - (1 if self.nul else 0)
        return hdr + self.name[:room] + (b"\0" if self.nul else b"")

    def cue_bytes(self, c):
        kind = c["kind"]
        body = self.name + b"\0"
        if kind == "foreign":
            return reply_header(self.model, service=0x0D) + body
        if kind == "bad-type":
            return reply_header(self.model, ptype=0x17) + body
        if kind == "bad-opcode":
            return reply_header(self.model, opcode=0x0020) + body
        if kind == "oversize":
            size = int(c.get("size", 600))
            data = reply_header(self.model) + body
            return (data + bytes(max(0, size - len(data))))[:max(size, 0)]
        if kind == "short":
            return bytes([SERVICE_ID, PT_REPLY, OP_GETINFO & 0xFF, OP_GETINFO >> 8])
        if kind == "request":
            return REQUEST
        return bytes.fromhex(c.get("hex", ""))

    def answers(self, dst):
        return dst in (LIMITED_BROADCAST, self.broadcast, self.addr)

    def datagrams(self, first, seq=None):
        """(what, bytes, n) in sending order for one request."""
        def skip(every, seqs):
            return (every == "first" and not first) or (seqs is not None and seq not in seqs)

        out = []
        instead = False
        for at, every, count, kind, data, seqs in self.cues:
            if skip(every, seqs):
                continue
            if at == "before":
                out.append((kind, data, count))
            elif at == "instead":
                instead = True
        if not instead and self.repeats:
            out.append(("reply", self.reply, self.repeats))
        for at, every, count, kind, data, seqs in self.cues:
            if skip(every, seqs):
                continue
            if at in ("after", "instead"):
                out.append((kind, data, count))
        return out


class Flood:
    KNOWN = {"from", "to", "port", "kind", "hex", "size", "rate", "seconds", "comment"}

    def __init__(self, d, allow_net, servers):
        if not isinstance(d, dict):
            raise ConfigError(f"flood must be an object: {d!r}")
        unknown = set(d) - self.KNOWN
        if unknown:
            raise ConfigError(f"unknown flood keys {sorted(unknown)} in {d!r}")
        src = str(d.get("from", ""))
        self.server = next((s for s in servers if s.addr == src), None)
        if self.server is None:
            raise ConfigError(f"flood from {src!r}: no server has that address")
        try:
            self.to = str(ipaddress.IPv4Address(d["to"]))
        except (KeyError, ValueError):
            raise ConfigError(f"flood needs a valid IPv4 'to': {d!r}") from None
        if ipaddress.IPv4Address(self.to) not in allow_net:
            raise ConfigError(f"flood destination {self.to} is outside {allow_net}")
        self.port = int(d.get("port", 9999))
        self.kind = d.get("kind", "foreign")
        if self.kind not in Server.CUE_KINDS:
            raise ConfigError(f"bad flood kind {self.kind!r}")
        self.rate = float(d.get("rate", 1000))
        self.seconds = float(d.get("seconds", 1))
        if not 1 <= self.rate <= 200000 or not 0 <= self.seconds <= 60:
            raise ConfigError(f"flood rate 1..200000 and seconds 0..60 please: {d!r}")
        self.data = self.server.cue_bytes(dict(d, kind=self.kind))
        self.next = None
        self.end = None
        self.n = 0
        self.dropped = 0


def classify(data):
    """None for a well-formed GETINFO request, else the reason to ignore it."""
    if len(data) < HEADER.size:
        return "short"
    sid, ptype, opcode, product = HEADER.unpack_from(data)
    if sid != SERVICE_ID:
        return "service-id"
    if ptype == PT_REPLY:
        return "reply"
    if ptype != PT_REQUEST:
        return "packet-type"
    if opcode != OP_GETINFO:
        return "opcode"
    if product != 0:
        return "product-id"
    if len(data) != REQUEST_LEN:
        return "length"
    if data != REQUEST:
        return "padding"
    return None


def in_lab_netns(name):
    """True only if this process runs in the lab namespace called name."""
    if not name or "/" in name or name.startswith("."):
        return False
    try:
        me = os.stat("/proc/self/ns/net")
        lab = os.stat("/run/netns/" + name)
    except OSError:
        return False
    return (me.st_dev, me.st_ino) == (lab.st_dev, lab.st_ino)


class Sim:
    def __init__(self, servers, args, floods=()):
        self.servers = servers
        self.floods = list(floods)
        self.args = args
        self.allow_net = args.allow_net
        self.log_file = open(args.log, "a", buffering=1 << 16) if args.log else sys.stdout
        self.sel = selectors.DefaultSelector()
        self.pending = []      # heap of (due, n, server index, dest, seq, first)
        self.pending_n = 0
        self.received = 0
        self.requests = 0
        self.sent = 0
        self.stop_reason = None
        self.socks_by_addr = {}

    def log(self, event, **kw):
        rec = {"t": round(time.time(), 6), "event": event}
        rec.update(kw)
        self.log_file.write(json.dumps(rec, sort_keys=True) + "\n")

    def open_sockets(self):
        port = self.args.port
        rx = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        rx.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        rx.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        rx.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
        try:
            rx.setsockopt(socket.SOL_SOCKET, SO_RCVBUFFORCE, 8 << 20)
        except OSError:
            rx.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 8 << 20)
        # A socket bound to a unicast address gets no broadcasts on Linux, so
        # one wildcard socket receives them all.
        rx.bind(("0.0.0.0", port))
        rx.setblocking(False)
        self.sel.register(rx, selectors.EVENT_READ, "0.0.0.0")
        for s in self.servers:
            key = (s.addr, s.reply_port)
            if key in self.socks_by_addr:
                s.sock = self.socks_by_addr[key]
                continue
            sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
            sock.setsockopt(socket.IPPROTO_IP, IP_PKTINFO, 1)
            try:
                sock.setsockopt(socket.IPPROTO_IP, IP_FREEBIND, 1)
            except OSError:
                pass
            try:
                sock.setsockopt(socket.SOL_SOCKET, SO_SNDBUFFORCE, 1 << 20)
            except OSError:
                pass
            try:
                sock.bind((s.addr, s.reply_port))
            except OSError as e:
                if s.reply_port == 0:
                    raise
                self.log("bind-fallback", server=s.addr, port=s.reply_port, error=str(e))
                sock.bind((s.addr, 0))
            sock.setblocking(False)
            # Unicast requests to addr:9999 land on this socket.
            self.sel.register(sock, selectors.EVENT_READ, s.addr)
            self.socks_by_addr[key] = sock
            s.sock = sock

    def on_datagram(self, sock, label):
        try:
            data, anc, flags, src = sock.recvmsg(65536, socket.CMSG_SPACE(PKTINFO.size))
        except (BlockingIOError, InterruptedError):
            return False
        self.received += 1
        dst, ifindex = None, None
        for level, ctype, cdata in anc:
            if level == socket.IPPROTO_IP and ctype == IP_PKTINFO and len(cdata) >= PKTINFO.size:
                ifindex, _local, addr = PKTINFO.unpack_from(cdata)
                dst = socket.inet_ntoa(addr)
        rec = {"src": src[0], "sport": src[1], "dst": dst, "ifindex": ifindex,
               "len": len(data), "sock": label}
        reason = classify(data)
        if reason is None and ipaddress.IPv4Address(src[0]) not in self.allow_net:
            reason = "requester-not-allowed"
        if reason is not None:
            rec["head"] = data[:8].hex()
            self.log("ignored", reason=reason, **rec)
            return True
        self.requests += 1
        seq = self.requests
        self.log("request", seq=seq, **rec)
        matched = False
        for i, s in enumerate(self.servers):
            if label != "0.0.0.0" and label != s.addr:
                continue
            if not s.answers(dst):
                continue
            matched = True
            first = s.answered == 0
            s.answered += 1
            if s.delay > 0:
                self.pending_n += 1
                heapq.heappush(self.pending, (time.monotonic() + s.delay, self.pending_n,
                                              i, src, seq, first))
            else:
                self.answer(s, src, seq, first)
            if self.stop_reason:
                break
        if not matched:
            self.log("unanswered", seq=seq, dst=dst)
        return True

    def answer(self, s, dest, seq, first):
        for what, data, n in s.datagrams(first, seq):
            done = 0
            for _ in range(n):
                if self.sent >= self.args.max_sent:
                    self.stop_reason = "max-sent"
                    break
                try:
                    s.sock.sendto(data, dest)
                except BlockingIOError:
                    self.log("send-dropped", server=s.addr, what=what)
                    continue
                self.sent += 1
                done += 1
            self.log("sent", seq=seq, server=s.addr, sport=s.sock.getsockname()[1],
                     to=dest[0], port=dest[1], what=what, len=len(data), n=done)
            if self.stop_reason:
                return

    def flood(self, now):
        """Sends what is due of every flood; the time of the next one, or None."""
        due = None
        for f in self.floods:
            if f.next is None:
                continue
            burst = 0
            while f.next <= now and f.next < f.end and burst < 64 and not self.stop_reason:
                if self.sent >= self.args.max_sent:
                    self.stop_reason = "max-sent"
                    break
                try:
                    f.server.sock.sendto(f.data, (f.to, f.port))
                    self.sent += 1
                    f.n += 1
                except BlockingIOError:
                    f.dropped += 1
                f.next += 1.0 / f.rate
                burst += 1
            if f.next >= f.end:
                self.log("flood-end", **{"from": f.server.addr, "n": f.n, "dropped": f.dropped})
                f.next = None
                continue
            due = f.next if due is None else min(due, f.next)
        return due

    def run(self):
        stop = {"sig": None}

        def on_signal(signum, _frame):
            stop["sig"] = signal.Signals(signum).name

        signal.signal(signal.SIGTERM, on_signal)
        signal.signal(signal.SIGINT, on_signal)
        self.open_sockets()
        self.log("ready", servers=[s.addr for s in self.servers], pid=os.getpid(),
                 port=self.args.port)
        self.log_file.flush()
        deadline = time.monotonic() + self.args.max_seconds
        for f in self.floods:
            f.next = time.monotonic()
            f.end = f.next + f.seconds
            self.log("flood", **{"from": f.server.addr, "to": f.to, "port": f.port,
                                 "what": f.kind, "rate": f.rate, "seconds": f.seconds})
        while not self.stop_reason:
            if stop["sig"]:
                self.stop_reason = stop["sig"].lower()
                break
            now = time.monotonic()
            if now >= deadline:
                self.stop_reason = "max-seconds"
                break
            while self.pending and self.pending[0][0] <= now and not self.stop_reason:
                _, _, i, dest, seq, first = heapq.heappop(self.pending)
                self.answer(self.servers[i], dest, seq, first)
            timeout = min(0.2, deadline - now)
            if self.pending:
                timeout = max(0.0, min(timeout, self.pending[0][0] - now))
            flood_due = self.flood(now) if self.floods else None
            if self.stop_reason:
                break
            if flood_due is not None:
                timeout = max(0.0, min(timeout, flood_due - time.monotonic()))
            events = self.sel.select(timeout)
            if not events:
                self.log_file.flush()
            for key, _ in events:
                # Drain this socket, bounded per wake-up.
                for _ in range(1000):
                    if self.received >= self.args.max_received:
                        self.stop_reason = "max-received"
                    if self.stop_reason or not self.on_datagram(key.fileobj, key.data):
                        break
                if self.stop_reason:
                    break
        self.log("exit", reason=self.stop_reason, received=self.received,
                 requests=self.requests, sent=self.sent, pending=len(self.pending))
        self.log_file.flush()
        for key in list(self.sel.get_map().values()):
            key.fileobj.close()


def build_servers(args, cfg):
    servers = [Server(d, args.allow_net) for d in cfg.get("servers", [])]
    for text in args.server:
        try:
            d = json.loads(text)
        except json.JSONDecodeError as e:
            raise ConfigError(f"--server wants a JSON object: {e}") from None
        servers.append(Server(d, args.allow_net))
    if args.count_servers:
        if not 1 <= args.count_servers <= 1000:
            raise ConfigError("--count-servers 1..1000 please")
        first = ipaddress.IPv4Address(args.first_addr)
        models = [parse_model(m) for m in args.models.split(",") if m]
        if not models:
            raise ConfigError("--models is empty")
        for k in range(1, args.count_servers + 1):
            addr = first + (k - 1)
            empty = args.empty_every > 0 and k % args.empty_every == 0
            servers.append(Server({
                "addr": str(addr),
                "model": models[(k - 1) % len(models)],
                "name": "" if empty else args.name_format.format(k=k),
                "repeats": args.repeats, "delay_ms": args.delay_ms,
            }, args.allow_net))
    if not servers:
        raise ConfigError("no servers configured")
    return servers


def main(argv=None):
    p = argparse.ArgumentParser(description="LAN print server simulator (UDP 9999)")
    p.add_argument("config", nargs="?", help="JSON configuration file")
    p.add_argument("--log")
    p.add_argument("--max-seconds", type=float)
    p.add_argument("--max-sent", type=int)
    p.add_argument("--max-received", type=int)
    p.add_argument("--port", type=int)
    p.add_argument("--server", action="append", default=[])
    p.add_argument("--count-servers", type=int, default=0)
    p.add_argument("--first-addr", default="10.77.0.3")
    p.add_argument("--models", default="KX220,KX230")
    p.add_argument("--name-format", default="HP LaserJet 1100 #{k}")
    p.add_argument("--empty-every", type=int, default=3)
    p.add_argument("--repeats", type=int, default=1)
    p.add_argument("--delay-ms", type=float, default=0)
    p.add_argument("--allow-net")
    p.add_argument("--flood", action="append", default=[])
    args = p.parse_args(argv)
    try:
        cfg = {}
        if args.config:
            with open(args.config, encoding="utf-8") as f:
                cfg = json.load(f)
            if not isinstance(cfg, dict):
                raise ConfigError("the configuration must be a JSON object")
        defaults = {"log": None, "max_seconds": 600.0, "max_sent": 200000,
                    "max_received": 100000, "port": 9999, "allow_net": "10.77.0.0/16"}
        for k, v in defaults.items():
            if getattr(args, k) is None:
                setattr(args, k, cfg.get(k, v))
        args.allow_net = ipaddress.IPv4Network(args.allow_net)
        if not args.allow_net.is_private or args.allow_net.prefixlen < 8:
            raise ConfigError(f"--allow-net must be a private network: {args.allow_net}")
        if not 0 < float(args.max_seconds) <= 86400:
            raise ConfigError("--max-seconds must be in (0, 86400]")
        args.max_seconds = float(args.max_seconds)
        if not 0 <= args.max_sent <= 10_000_000 or not 1 <= args.max_received <= 10_000_000:
            raise ConfigError("bad --max-sent/--max-received")
        servers = build_servers(args, cfg)
        floods = []
        for text in args.flood:
            try:
                floods.append(Flood(json.loads(text), args.allow_net, servers))
            except json.JSONDecodeError as e:
                raise ConfigError(f"--flood wants a JSON object: {e}") from None
    except (ConfigError, OSError, ValueError, KeyError, IndexError) as e:
        print(f"lansim: {e}", file=sys.stderr)
        return 2
    ns = os.environ.get("LAB_NS", "")
    if ns not in ("labB", "labA") or not in_lab_netns(ns):
        print(f"lansim: refusing to run: not inside the lab namespace LAB_NS={ns!r} "
              "(start it with: tools/lab.sh exec labB ...)", file=sys.stderr)
        return 2
    sim = Sim(servers, args, floods)
    try:
        sim.run()
    except OSError as e:
        print(f"lansim: {e}", file=sys.stderr)
        sim.log("exit", reason=f"error: {e}", received=sim.received,
                requests=sim.requests, sent=sim.sent, pending=len(sim.pending))
        sim.log_file.flush()
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
