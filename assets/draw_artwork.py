#!/usr/bin/python3
"""Draws all artwork of the setup wizard into the folder of this script.

Run from the repository root:

    /usr/bin/python3 assets/draw_artwork.py

Every file is drawn from scratch with PIL (Debian's python3-pil). The output
is deterministic: running the script twice gives the same bytes.
"""

import math
import os
import random
import struct

from PIL import Image, ImageDraw, ImageFilter, ImageFont

OUT = os.path.dirname(os.path.abspath(__file__))

FONT_DIR = "/usr/share/fonts/truetype/liberation"
FONT_REGULAR = os.path.join(FONT_DIR, "LiberationSans-Regular.ttf")
FONT_BOLD = os.path.join(FONT_DIR, "LiberationSans-Bold.ttf")

# Windows classic palette
FACE = (212, 208, 200)
HILIGHT = (255, 255, 255)
SHADOW = (128, 128, 128)
DKSHADOW = (64, 64, 64)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
SEL = (10, 36, 106)
TITLE_A = (10, 36, 106)
TITLE_B = (166, 202, 240)
GREYTEXT = (128, 128, 128)

SS = 4  # supersampling factor for smooth vector drawings

_font_cache = {}


def font(size, bold=False):
    key = (size, bold)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(FONT_BOLD if bold else FONT_REGULAR, size)
    return _font_cache[key]


def out_path(name):
    return os.path.join(OUT, name)


def save_bmp(img, name):
    img.convert("RGB").save(out_path(name), format="BMP")


# ---------------------------------------------------------------------------
# generic helpers
# ---------------------------------------------------------------------------

def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    return tuple(int(round(lerp(c1[i], c2[i], t))) for i in range(len(c1)))


def vgradient(size, stops):
    """Vertical gradient; stops = [(pos 0..1, colour), ...]."""
    w, h = size
    img = Image.new("RGB", size)
    px = img.load()
    for y in range(h):
        t = y / max(1, h - 1)
        for i in range(len(stops) - 1):
            p0, c0 = stops[i]
            p1, c1 = stops[i + 1]
            if p0 <= t <= p1:
                c = mix(c0, c1, (t - p0) / max(1e-9, p1 - p0))
                break
        else:
            c = stops[-1][1]
        for x in range(w):
            px[x, y] = c
    return img


def hgradient(size, c0, c1):
    w, h = size
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    for x in range(w):
        d.line([(x, 0), (x, h - 1)], fill=mix(c0, c1, x / max(1, w - 1)))
    return img


def downsample(img, factor=SS):
    """Shrink a supersampled drawing. RGBA is resized premultiplied."""
    w, h = img.size
    size = (w // factor, h // factor)
    if img.mode == "RGBA":
        return img.convert("RGBa").resize(size, Image.LANCZOS).convert("RGBA")
    return img.resize(size, Image.LANCZOS)


def paste_over(base, layer, pos=(0, 0)):
    """Alpha-composite an RGBA layer onto an RGB/RGBA base."""
    if base.mode == "RGBA":
        base.alpha_composite(layer, pos)
    else:
        base.paste(layer, pos, layer)


def pixel_art(rows, legend, bg=None):
    h = len(rows)
    w = len(rows[0])
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0) if bg is None else bg + (255,))
    px = img.load()
    for y, row in enumerate(rows):
        assert len(row) == w, (y, row)
        for x, ch in enumerate(row):
            if ch == ".":
                continue
            c = legend[ch]
            px[x, y] = c + (255,) if len(c) == 3 else c
    return img


def rot(pts, cx, cy, ang):
    ca, sa = math.cos(ang), math.sin(ang)
    return [(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca) for x, y in pts]


# ---------------------------------------------------------------------------
# vector printer (drawn on a supersampled RGBA layer)
# ---------------------------------------------------------------------------

def draw_printer(d, x, y, w, h, in_paper=True, out_paper=True, body=(236, 236, 240),
                 base=(172, 175, 186), outline=(60, 62, 72), led=(40, 210, 60), lines=True):
    """Front view of a desktop printer inside the box (x, y, w, h)."""
    ow = max(1, int(round(w / 28)))
    r = w * 0.07
    if in_paper:
        px0, px1 = x + w * 0.24, x + w * 0.76
        d.rectangle([px0, y, px1, y + h * 0.42], fill=(255, 255, 255), outline=outline, width=ow)
        if lines:
            for i in range(4):
                ly = y + h * (0.08 + 0.065 * i)
                d.line([(px0 + w * 0.07, ly), (px1 - w * (0.07 if i < 3 else 0.2), ly)],
                       fill=(120, 150, 200), width=max(1, int(min(ow * 0.75, h * 0.022))))
    # upper body (lid)
    d.rounded_rectangle([x, y + h * 0.30, x + w, y + h * 0.66], radius=r, fill=body,
                        outline=outline, width=ow)
    # highlight along the top of the lid
    d.line([(x + r, y + h * 0.30 + ow * 1.6), (x + w - r, y + h * 0.30 + ow * 1.6)],
           fill=(255, 255, 255), width=ow)
    # lower body
    d.rounded_rectangle([x + w * 0.03, y + h * 0.60, x + w * 0.97, y + h * 0.94], radius=r * 0.8,
                        fill=base, outline=outline, width=ow)
    # paper slot
    d.rounded_rectangle([x + w * 0.13, y + h * 0.665, x + w * 0.87, y + h * 0.725],
                        radius=h * 0.02, fill=(40, 42, 50))
    # control panel: LED and two buttons
    lr = w * 0.045
    cx, cy = x + w * 0.84, y + h * 0.47
    d.ellipse([cx - lr, cy - lr, cx + lr, cy + lr], fill=led, outline=outline, width=max(1, ow // 2))
    for i in range(2):
        bx = x + w * (0.58 + 0.11 * i)
        d.rounded_rectangle([bx, cy - lr * 0.7, bx + w * 0.08, cy + lr * 0.7], radius=lr * 0.5,
                            fill=(150, 154, 166), outline=outline, width=max(1, ow // 2))
    if out_paper:
        qx0, qx1 = x + w * 0.20, x + w * 0.80
        d.polygon([(qx0 + w * 0.02, y + h * 0.70), (qx1 - w * 0.02, y + h * 0.70),
                   (qx1, y + h), (qx0, y + h)], fill=(255, 255, 255), outline=outline)
        d.line([(qx0, y + h), (qx1, y + h)], fill=outline, width=ow)
        d.line([(qx0 + w * 0.02, y + h * 0.70), (qx0, y + h)], fill=outline, width=ow)
        d.line([(qx1 - w * 0.02, y + h * 0.70), (qx1, y + h)], fill=outline, width=ow)
        if lines:
            for i in range(2):
                ly = y + h * (0.80 + 0.08 * i)
                d.line([(qx0 + w * 0.08, ly), (qx1 - w * (0.08 if i == 0 else 0.22), ly)],
                       fill=(120, 150, 200), width=max(1, ow))


def printer_layer(w, h, margin=0.0, **kw):
    """Return an RGBA image of size w x h with a printer, antialiased."""
    lay = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(lay)
    m = margin * SS
    draw_printer(d, m, m, w * SS - 2 * m - 1, h * SS - 2 * m - 1, **kw)
    return downsample(lay)


def draw_waves(d, cx, cy, radii, width, colours, start=-60, end=60):
    """Concentric arcs (radio waves) around (cx, cy), opening to the right."""
    for rr, col in zip(radii, colours):
        d.arc([cx - rr, cy - rr, cx + rr, cy + rr], start, end, fill=col, width=width)


# ---------------------------------------------------------------------------
# 1. banner.bmp  150 x 339
# ---------------------------------------------------------------------------

def sheet_poly(cx, cy, w, h, ang):
    pts = [(cx - w / 2, cy - h / 2), (cx + w / 2, cy - h / 2), (cx + w / 2, cy + h / 2),
           (cx - w / 2, cy + h / 2)]
    return rot(pts, cx, cy, ang)


def draw_banner():
    W, H = 150, 339
    sky = vgradient((W, H), [(0.0, (4, 8, 34)), (0.45, (12, 30, 88)), (0.78, (24, 62, 146)),
                             (1.0, (40, 92, 180))])
    px = sky.load()
    rnd = random.Random(1234)
    # small stars, fewer near the horizon
    for _ in range(95):
        sx = rnd.randrange(W)
        sy = int((rnd.random() ** 1.5) * 250)
        b = rnd.uniform(0.35, 1.0) * (1.0 - sy / 330.0)
        c = px[sx, sy]
        px[sx, sy] = mix(c, (255, 255, 240), b)
    # a few brighter stars with a soft cross
    lay = Image.new("RGBA", (W * SS, H * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(lay)
    for sx, sy, r in [(22, 30, 3.0), (118, 18, 2.6), (84, 64, 2.2), (36, 122, 2.4), (128, 104, 3.2),
                      (14, 190, 2.0), (104, 168, 2.0), (62, 14, 1.8)]:
        cx, cy = sx * SS + SS / 2, sy * SS + SS / 2
        rr = r * SS
        d.polygon([(cx, cy - rr * 1.6), (cx + rr * 0.28, cy - rr * 0.28), (cx + rr * 1.6, cy),
                   (cx + rr * 0.28, cy + rr * 0.28), (cx, cy + rr * 1.6), (cx - rr * 0.28, cy + rr * 0.28),
                   (cx - rr * 1.6, cy), (cx - rr * 0.28, cy - rr * 0.28)], fill=(255, 255, 235, 235))
    # a crescent moon
    mx, my, mr = 112 * SS, 48 * SS, 13 * SS
    halo = Image.new("L", lay.size, 0)
    ImageDraw.Draw(halo).ellipse([mx - mr * 1.3, my - mr * 1.3, mx + mr * 1.3, my + mr * 1.3], fill=70)
    halo = halo.filter(ImageFilter.GaussianBlur(9 * SS))
    glow = Image.new("RGBA", lay.size, (170, 195, 255, 0))
    glow.putalpha(halo)
    lay.alpha_composite(glow)
    disc = Image.new("L", lay.size, 0)
    ImageDraw.Draw(disc).ellipse([mx - mr, my - mr, mx + mr, my + mr], fill=255)
    ImageDraw.Draw(disc).ellipse([mx - mr + 6 * SS, my - mr - 3 * SS, mx + mr + 6 * SS, my + mr - 3 * SS],
                                 fill=0)
    moon = Image.new("RGBA", lay.size, (255, 246, 210, 0))
    moon.putalpha(disc)
    lay.alpha_composite(moon)

    # floating sheets, bigger and more opaque towards the printer
    sheets = [  # cx, cy, w, angle(deg), alpha
        (40, 70, 15, -24, 215),
        (96, 118, 18, 18, 228),
        (52, 166, 22, -12, 240),
        (102, 206, 25, 10, 250),
        (66, 236, 27, -5, 255),
    ]
    # faint trail dots from the printer to the sheets
    for i in range(34):
        t = i / 33.0
        tx = 75 + math.sin(t * 6.0) * 26 * t
        ty = 262 - t * 210
        rr = (1.2 - 0.7 * t) * SS
        d.ellipse([tx * SS - rr, ty * SS - rr, tx * SS + rr, ty * SS + rr],
                  fill=(190, 215, 255, int(120 * (1 - t) + 40)))
    gmask = Image.new("L", lay.size, 0)
    gd = ImageDraw.Draw(gmask)
    for cx, cy, sw, ang, alpha in sheets:
        gd.polygon(sheet_poly(cx * SS, cy * SS, (sw + 3) * SS, (sw * 1.3 + 3) * SS, math.radians(ang)),
                   fill=90)
    gmask = gmask.filter(ImageFilter.GaussianBlur(3 * SS))
    glow = Image.new("RGBA", lay.size, (160, 200, 255, 0))
    glow.putalpha(gmask)
    lay.alpha_composite(glow)
    for cx, cy, sw, ang, alpha in sheets:
        sh = sw * 1.30
        a_rad = math.radians(ang)
        poly = sheet_poly(cx * SS, cy * SS, sw * SS, sh * SS, a_rad)
        d.polygon(poly, fill=(255, 255, 255, alpha))
        d.line(poly + [poly[0]], fill=(160, 180, 220, alpha), width=SS // 2)
        # text lines on the sheet
        for i in range(4):
            y0 = -sh / 2 + sh * (0.2 + 0.15 * i)
            x0 = -sw / 2 + sw * 0.16
            x1 = sw / 2 - sw * (0.16 if i < 3 else 0.4)
            seg = rot([(cx * SS + x0 * SS, cy * SS + y0 * SS), (cx * SS + x1 * SS, cy * SS + y0 * SS)],
                      cx * SS, cy * SS, a_rad)
            d.line(seg, fill=(110, 140, 200, alpha), width=max(1, int(SS * sw / 22)))
    # ground glow under the printer
    for i in range(12, 0, -1):
        rx, ry = (20 + i * 5) * SS, (4 + i * 1.4) * SS
        d.ellipse([75 * SS - rx, 326 * SS - ry, 75 * SS + rx, 326 * SS + ry], fill=(120, 170, 255, 10))
    # printer
    draw_printer(d, 22 * SS, 252 * SS, 106 * SS, 78 * SS, in_paper=True, out_paper=False,
                 body=(238, 239, 244), base=(176, 180, 194), outline=(40, 46, 66))
    lay = downsample(lay)
    sky.paste(lay, (0, 0), lay)
    save_bmp(sky, "banner.bmp")


# ---------------------------------------------------------------------------
# 2. header.jpg  41 x 36
# ---------------------------------------------------------------------------

def draw_header():
    img = Image.new("RGB", (41, 36), WHITE)
    p = printer_layer(35, 32, in_paper=True, out_paper=True)
    img.paste(p, (3, 2), p)
    img.save(out_path("header.jpg"), format="JPEG", quality=90, optimize=False,
             progressive=False, subsampling=0)


# ---------------------------------------------------------------------------
# 3. server.gif  72 x 45, 22 frames, written by a small GIF encoder
# ---------------------------------------------------------------------------

def draw_server_box(d, x, y, w, h, led_on, led2_on):
    s = SS
    outline = (52, 56, 70)
    # antenna (right side)
    ax = x + w * 0.80
    d.rounded_rectangle([ax - 1.2 * s, y - h * 0.85, ax + 1.2 * s, y + 2 * s], radius=1.2 * s,
                        fill=(70, 72, 82))
    d.ellipse([ax - 2.2 * s, y - h * 0.85 - 2.2 * s, ax + 2.2 * s, y - h * 0.85 + 2.2 * s],
              fill=(70, 72, 82))
    d.rounded_rectangle([ax - 3.2 * s, y - 1.5 * s, ax + 3.2 * s, y + 1.5 * s], radius=s,
                        fill=(90, 92, 104))
    # box: slanted top face and front face
    depth = h * 0.30
    d.polygon([(x, y + depth), (x + depth * 0.9, y), (x + w + depth * 0.9 - depth * 0.9, y),
               (x + w, y + depth)], fill=(222, 224, 232), outline=outline)
    d.rounded_rectangle([x, y + depth, x + w, y + h], radius=s * 1.5, fill=(186, 190, 204),
                        outline=outline, width=s)
    d.line([(x + 2 * s, y + depth + 1.5 * s), (x + w - 2 * s, y + depth + 1.5 * s)],
           fill=(236, 238, 244), width=s)
    # front details: LEDs, vents, label
    ly = y + depth + (h - depth) * 0.55
    lr = 1.7 * s
    c_on = (60, 240, 70) if led_on else (40, 90, 45)
    d.ellipse([x + 5.5 * s - lr, ly - lr, x + 5.5 * s + lr, ly + lr], fill=c_on)
    if led_on:
        d.ellipse([x + 5.5 * s - lr * 2.2, ly - lr * 2.2, x + 5.5 * s + lr * 2.2, ly + lr * 2.2],
                  outline=(120, 255, 120), width=max(1, s // 2))
    c2 = (255, 180, 30) if led2_on else (110, 85, 40)
    d.ellipse([x + 11 * s - lr, ly - lr, x + 11 * s + lr, ly + lr], fill=c2)
    for i in range(5):
        vx = x + w * 0.45 + i * 2.6 * s
        d.line([(vx, ly - 2.5 * s), (vx, ly + 2.5 * s)], fill=(110, 114, 130), width=s)


def server_frame(i, n):
    W, H = 72, 45
    lay = Image.new("RGBA", (W * SS, H * SS), FACE + (255,))
    d = ImageDraw.Draw(lay)
    s = SS
    # shadow under the box
    d.ellipse([14 * s, 38 * s, 58 * s, 44 * s], fill=(194, 190, 182))
    bx, by, bw, bh = 16 * s, 26 * s, 40 * s, 15 * s
    ax = bx + bw * 0.80
    tip = (ax, by - bh * 0.85)
    # waves: three rings that travel outwards and fade
    phase = i / n
    for k in range(3):
        t = (phase + k / 3.0) % 1.0
        rr = (3.5 + t * 15.5) * s
        fade = 1.0 - t
        if fade <= 0.02:
            continue
        col = mix(FACE, (20, 90, 210), min(1.0, fade * 1.25))
        wd = int(round((1.0 + 1.4 * fade) * s))
        for (a0, a1) in ((-48, 48), (132, 228)):
            d.arc([tip[0] - rr, tip[1] - rr, tip[0] + rr, tip[1] + rr], a0, a1, fill=col, width=wd)
    led_on = (i % 11) < 6
    led2_on = "1100110100110011010110"[i % n] == "1"  # network activity flicker
    draw_server_box(d, bx, by, bw, bh, led_on, led2_on)
    return downsample(lay).convert("RGB")


def lzw_encode(indices, min_code_size):
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def put(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def reset():
        return {}, eoi + 1, min_code_size + 1

    table, next_code, code_size = reset()
    put(clear, code_size)
    prefix = indices[0]
    for k in indices[1:]:
        key = (prefix, k)
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        put(prefix, code_size)
        if next_code < 4095:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            put(clear, code_size)
            table, next_code, code_size = reset()
        prefix = k
    put(prefix, code_size)
    put(eoi, code_size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def write_gif(path, frames, palette, delay_cs):
    """frames: list of (w, h, bytes of palette indices); palette: 256 RGB tuples."""
    w, h = frames[0][0], frames[0][1]
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", w, h, 0xF7, 0, 0)  # global table, 8 bits, 256 entries
    for c in palette:
        data += bytes(c)
    # loop forever
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", 0) + b"\x00"
    for fw, fh, idx in frames:
        # graphic control: disposal 1 (leave in place), no transparency
        data += b"\x21\xF9\x04" + bytes([0x04]) + struct.pack("<H", delay_cs) + b"\x00\x00"
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, fw, fh, 0)
        data += bytes([8])
        comp = lzw_encode(idx, 8)
        for j in range(0, len(comp), 255):
            chunk = comp[j:j + 255]
            data += bytes([len(chunk)]) + chunk
        data += b"\x00"
    data += b"\x3B"
    with open(path, "wb") as f:
        f.write(bytes(data))


def draw_server_gif():
    n = 22
    frames = [server_frame(i, n) for i in range(n)]
    W, H = frames[0].size
    strip = Image.new("RGB", (W, H * n))
    for i, f in enumerate(frames):
        strip.paste(f, (0, i * H))
    colours = strip.getcolors(1 << 16)
    if len(colours) <= 256:
        pal = sorted(c for _, c in colours)
        lut = {c: j for j, c in enumerate(pal)}
        q = [bytes(lut[c] for c in f.getdata()) for f in frames]
    else:
        # one shared palette for all frames, no dithering
        pq = strip.quantize(colors=256, method=Image.MAXCOVERAGE, kmeans=3, dither=Image.Dither.NONE)
        raw = pq.getpalette()[:256 * 3]
        pal = [tuple(raw[j:j + 3]) for j in range(0, len(raw), 3)]
        idx = pq.tobytes()
        # make sure the dialog face colour is exact
        face_idx = pq.getpixel((0, 0))
        pal[face_idx] = FACE
        q = [idx[i * W * H:(i + 1) * W * H] for i in range(n)]
    pal = list(pal) + [(0, 0, 0)] * (256 - len(pal))
    write_gif(out_path("server.gif"), [(W, H, idx) for idx in q], pal, 10)


# ---------------------------------------------------------------------------
# 4. printer.bmp  72 x 45
# ---------------------------------------------------------------------------

def draw_printer_bmp():
    W, H = 72, 45
    lay = Image.new("RGBA", (W * SS, H * SS), FACE + (255,))
    d = ImageDraw.Draw(lay)
    s = SS
    d.ellipse([14 * s, 39 * s, 58 * s, 44.5 * s], fill=(190, 186, 178))
    draw_printer(d, 17 * s, 1 * s, 38 * s, 41 * s, in_paper=True, out_paper=True)
    save_bmp(downsample(lay), "printer.bmp")


# ---------------------------------------------------------------------------
# 5. help_glyph.bmp  16 x 16
# ---------------------------------------------------------------------------

def blue_ball(size, bg, colour_top=(90, 150, 240), colour_bottom=(10, 50, 170)):
    n = size * SS
    lay = Image.new("RGBA", (n, n), bg + (255,))
    grad = vgradient((n, n), [(0, colour_top), (1, colour_bottom)])
    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).ellipse([0.5 * SS, 0.5 * SS, n - 0.5 * SS, n - 0.5 * SS], fill=255)
    lay.paste(grad, (0, 0), mask)
    ImageDraw.Draw(lay).ellipse([0.5 * SS, 0.5 * SS, n - 0.5 * SS, n - 0.5 * SS],
                                outline=(10, 36, 120), width=SS)
    return downsample(lay)


def draw_help_glyph():
    img = blue_ball(16, FACE).convert("RGB")
    q = ["................",
         "................",
         "................",
         "......XXXX......",
         ".....XX..XX.....",
         ".........XX.....",
         "........XX......",
         ".......XX.......",
         ".......XX.......",
         "................",
         ".......XX.......",
         ".......XX.......",
         "................",
         "................",
         "................",
         "................"]
    glyph = pixel_art(q, {"X": WHITE})
    img.paste(glyph, (0, 0), glyph)
    save_bmp(img, "help_glyph.bmp")


# ---------------------------------------------------------------------------
# Windows classic widgets (pixel exact, 1x)
# ---------------------------------------------------------------------------

def text(d, xy, s, size=11, bold=False, fill=BLACK, anchor="la"):
    d.text(xy, s, font=font(size, bold), fill=fill, anchor=anchor)


def text_w(s, size=11, bold=False):
    return font(size, bold).getlength(s)


def grey_text(d, xy, s, size=11):
    x, y = xy
    text(d, (x + 1, y + 1), s, size, fill=WHITE)
    text(d, (x, y), s, size, fill=GREYTEXT)


def raised(d, box, outer=True):
    x0, y0, x1, y1 = box
    if outer:
        d.line([(x0, y1), (x0, y0), (x1, y0)], fill=FACE)
        d.line([(x0 + 1, y1 - 1), (x0 + 1, y0 + 1), (x1 - 1, y0 + 1)], fill=HILIGHT)
        d.line([(x0 + 1, y1 - 1), (x1 - 1, y1 - 1), (x1 - 1, y0 + 1)], fill=SHADOW)
        d.line([(x0, y1), (x1, y1), (x1, y0)], fill=DKSHADOW)
    else:
        d.line([(x0, y1), (x0, y0), (x1, y0)], fill=HILIGHT)
        d.line([(x0 + 1, y1 - 1), (x1 - 1, y1 - 1), (x1 - 1, y0 + 1)], fill=SHADOW)
        d.line([(x0, y1), (x1, y1), (x1, y0)], fill=DKSHADOW)


def sunken(d, box, fill=WHITE):
    x0, y0, x1, y1 = box
    d.rectangle(box, fill=fill)
    d.line([(x0, y1), (x0, y0), (x1, y0)], fill=SHADOW)
    d.line([(x0 + 1, y1 - 1), (x0 + 1, y0 + 1), (x1 - 1, y0 + 1)], fill=DKSHADOW)
    d.line([(x0 + 1, y1 - 1), (x1 - 1, y1 - 1), (x1 - 1, y0 + 1)], fill=FACE)
    d.line([(x0, y1), (x1, y1), (x1, y0)], fill=HILIGHT)


def button(d, box, label, default=False, size=11):
    x0, y0, x1, y1 = box
    d.rectangle(box, fill=FACE)
    if default:
        d.rectangle(box, outline=BLACK)
        raised(d, (x0 + 1, y0 + 1, x1 - 1, y1 - 1), outer=False)
    else:
        raised(d, box, outer=False)
    text(d, ((x0 + x1) / 2, (y0 + y1) / 2 + 0.5), label, size, fill=BLACK, anchor="mm")


def small_button(d, x, y, kind):
    """Title bar caption button, 16 x 14."""
    box = (x, y, x + 15, y + 13)
    d.rectangle(box, fill=FACE)
    raised(d, box, outer=True)
    if kind == "close":
        for k in range(2):
            d.line([(x + 4 + k, y + 3), (x + 10 + k, y + 9)], fill=BLACK)
            d.line([(x + 10 + k, y + 3), (x + 4 + k, y + 9)], fill=BLACK)
    elif kind == "help":
        text(d, (x + 8, y + 7), "?", 11, bold=True, anchor="mm")
    elif kind == "min":
        d.rectangle([x + 4, y + 9, x + 9, y + 10], fill=BLACK)
    elif kind == "max":
        d.rectangle([x + 3, y + 2, x + 11, y + 10], outline=BLACK)
        d.line([(x + 3, y + 3), (x + 11, y + 3)], fill=BLACK)


def title_bar(img, box, caption, buttons=("close",), size=11, icon=None):
    x0, y0, x1, y1 = box
    g = hgradient((x1 - x0 + 1, y1 - y0 + 1), TITLE_A, TITLE_B)
    img.paste(g, (x0, y0))
    d = ImageDraw.Draw(img)
    tx = x0 + 3
    if icon is not None:
        img.paste(icon, (x0 + 2, y0 + (y1 - y0 + 1 - icon.size[1]) // 2), icon)
        tx += icon.size[0] + 2
    text(d, (tx, (y0 + y1) / 2 + 0.5), caption, size, bold=True, fill=WHITE, anchor="lm")
    bx = x1 - 2 - 15
    by = y0 + (y1 - y0 + 1 - 14) // 2
    for kind in reversed(buttons):
        small_button(d, bx, by, kind)
        bx -= 16 if kind != "close" else 18


def window(size, caption, buttons=("close",), icon=None):
    w, h = size
    img = Image.new("RGB", size, FACE)
    d = ImageDraw.Draw(img)
    raised(d, (0, 0, w - 1, h - 1), outer=True)
    title_bar(img, (3, 3, w - 4, 20), caption, buttons, icon=icon)
    return img, d


RADIO_ROWS = [
    "....GGGG....",
    "..GGKKKKGG..",
    ".GKKWWWWKKH.",
    ".GKWWWWWWFH.",
    "GKWWWWWWWWFH",
    "GKWWWWWWWWFH",
    "GKWWWWWWWWFH",
    "GKWWWWWWWWFH",
    ".GKWWWWWWFH.",
    ".GFFWWWWFFH.",
    "..HHFFFFHH..",
    "....HHHH....",
]
RADIO_DOT = [(5, 4), (6, 4), (4, 5), (5, 5), (6, 5), (7, 5), (4, 6), (5, 6), (6, 6), (7, 6), (5, 7), (6, 7)]


def radio(img, x, y, checked, enabled=True):
    fill = WHITE if enabled else FACE
    r = pixel_art(RADIO_ROWS, {"G": SHADOW, "K": DKSHADOW, "W": fill, "F": FACE, "H": HILIGHT})
    if checked:
        px = r.load()
        for p in RADIO_DOT:
            px[p] = (BLACK if enabled else SHADOW) + (255,)
    img.paste(r, (x, y), r)


CHECK = ["......X",
         ".....XX",
         "X...XXX",
         "XX.XXX.",
         "XXXXX..",
         ".XXX...",
         "..X...."]


def checkbox(img, x, y, checked, enabled=True):
    d = ImageDraw.Draw(img)
    sunken(d, (x, y, x + 12, y + 12), fill=WHITE if enabled else FACE)
    if checked:
        c = pixel_art(CHECK, {"X": BLACK if enabled else SHADOW})
        img.paste(c, (x + 3, y + 3), c)


def etched_group(d, box, label=None, size=11):
    x0, y0, x1, y1 = box
    d.rectangle([x0, y0, x1 - 1, y1 - 1], outline=SHADOW)
    d.rectangle([x0 + 1, y0 + 1, x1, y1], outline=HILIGHT)
    d.line([(x0 + 1, y1 - 1), (x0 + 1, y0 + 1), (x1 - 1, y0 + 1)], fill=HILIGHT)
    d.line([(x0, y1 - 1), (x0, y0), (x1 - 1, y0)], fill=SHADOW)
    d.line([(x1 - 1, y0), (x1 - 1, y1 - 1), (x0, y1 - 1)], fill=SHADOW)
    if label:
        tw = text_w(label, size)
        d.rectangle([x0 + 6, y0 - 6, x0 + 10 + tw, y0 + 4], fill=FACE)
        text(d, (x0 + 8, y0 + 1), label, size, anchor="lm")


# ---------------------------------------------------------------------------
# small icons used inside the illustrations
# ---------------------------------------------------------------------------

def printer_icon32(add=False, size=32):
    lay = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(lay)
    s = SS * size / 32.0
    draw_printer(d, 2 * s, 2 * s, 28 * s, 28 * s, in_paper=True, out_paper=True)
    if add:
        # a yellow star: "add a new printer"
        cx, cy, r0, r1 = 7 * s, 7 * s, 7 * s, 2.8 * s
        pts = []
        for k in range(10):
            a = -math.pi / 2 + k * math.pi / 5
            rr = r0 if k % 2 == 0 else r1
            pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
        d.polygon(pts, fill=(255, 210, 30), outline=(160, 110, 0))
        d.line([(cx, cy), (15 * s, 15 * s)], fill=(120, 70, 20), width=int(2 * s))
    return downsample(lay)


def stop_icon(size=24):
    n = size * SS
    lay = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(lay)
    d.ellipse([SS, SS, n - 1, n - 1], fill=(0, 0, 0, 70))  # soft shadow
    grad = vgradient((n, n), [(0, (255, 80, 70)), (1, (180, 0, 0))])
    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).ellipse([0, 0, n - 2 * SS, n - 2 * SS], fill=255)
    lay.paste(grad, (0, 0), mask)
    d.ellipse([0, 0, n - 2 * SS, n - 2 * SS], outline=(110, 0, 0), width=SS)
    c = (n - 2 * SS) / 2
    k = n * 0.2
    d.line([(c - k, c - k), (c + k, c + k)], fill=WHITE, width=int(SS * 2.6))
    d.line([(c + k, c - k), (c - k, c + k)], fill=WHITE, width=int(SS * 2.6))
    return downsample(lay)


def folder_icon16():
    rows = ["................",
            "................",
            ".KKKK...........",
            "KYYYYK..........",
            "KYYYYYKKKKKKKK..",
            "KYWWWWWWWWWWWYK.",
            "KYWYYYYYYYYYYOK.",
            "KYWYYYYYYYYYYOK.",
            "KYWYYYYYYYYYYOK.",
            "KYWYYYYYYYYYYOK.",
            "KYWYYYYYYYYYYOK.",
            "KYOOOOOOOOOOOOK.",
            ".KKKKKKKKKKKKKK.",
            "................",
            "................",
            "................"]
    return pixel_art(rows, {"K": (110, 90, 20), "Y": (250, 220, 110), "W": (255, 245, 200),
                            "O": (210, 170, 60)})


# ---------------------------------------------------------------------------
# 6. help page illustrations
# ---------------------------------------------------------------------------

def draw_noprn_printers():
    W, H = 250, 150
    img, d = window((W, H), "Printers", buttons=("min", "max", "close"), icon=folder_icon16())
    # menu bar
    x = 8
    for m in ["File", "Edit", "View", "Favorites", "Tools", "Help"]:
        text(d, (x, 30), m, 11, anchor="lm")
        x += text_w(m, 11) + 11
    d.line([(3, 39), (W - 4, 39)], fill=SHADOW)
    d.line([(3, 40), (W - 4, 40)], fill=HILIGHT)
    # client area
    sunken(d, (3, 42, W - 4, H - 20), fill=WHITE)
    icons = [("Add Printer", printer_icon32(add=True)), ("Laser Printer", printer_icon32()),
             ("Office Inkjet", printer_icon32())]
    for i, (label, ic) in enumerate(icons):
        cx = 42 + i * 82
        img.paste(ic, (cx - 16, 54), ic)
        text(d, (cx, 92), label, 11, anchor="mt")
    # status bar
    d.rectangle([3, H - 18, W - 4, H - 4], fill=FACE)
    sunken_status = (4, H - 17, W - 60, H - 5)
    d.line([(sunken_status[0], sunken_status[3]), (sunken_status[0], sunken_status[1]),
            (sunken_status[2], sunken_status[1])], fill=SHADOW)
    d.line([(sunken_status[0], sunken_status[3]), (sunken_status[2], sunken_status[3]),
            (sunken_status[2], sunken_status[1])], fill=HILIGHT)
    text(d, (8, H - 11), "3 object(s)", 10, anchor="lm")
    save_bmp(img, "noprn_printers.bmp")


def draw_addprn_local():
    W, H = 250, 60
    img = Image.new("RGB", (W, H), FACE)
    d = ImageDraw.Draw(img)
    text(d, (8, 10), "Select the option that describes the printer:", 11, anchor="lm")
    radio(img, 14, 23, True)
    text(d, (31, 29), "Local printer attached to this computer", 11, anchor="lm")
    # focus rectangle around the selected label
    tw = text_w("Local printer attached to this computer", 11)
    for xx in range(29, int(31 + tw + 2), 2):
        img.putpixel((xx, 22), BLACK)
        img.putpixel((xx, 36), BLACK)
    for yy in range(22, 37, 2):
        img.putpixel((29, yy), BLACK)
        img.putpixel((int(31 + tw + 2), yy), BLACK)
    radio(img, 14, 42, False)
    text(d, (31, 48), "Network printer", 11, anchor="lm")
    save_bmp(img, "addprn_local.bmp")


def list_box(img, box, rows, col2=None, header=None, sel=0, size=11, row_h=15, icon=None):
    d = ImageDraw.Draw(img)
    x0, y0, x1, y1 = box
    sunken(d, box, fill=WHITE)
    y = y0 + 2
    if header:
        hx = x0 + 2
        widths = [col2 - x0 - 2 if col2 else x1 - x0 - 4, x1 - col2 - 2 if col2 else 0]
        for hdr, wdt in zip(header, widths):
            if wdt <= 0:
                continue
            hb = (hx, y, min(hx + wdt - 1, x1 - 2), y + 15)
            d.rectangle(hb, fill=FACE)
            raised(d, hb, outer=False)
            text(d, (hx + 5, y + 8), hdr, size, anchor="lm")
            hx += wdt
        y += 16
    for i, row in enumerate(rows):
        if y + row_h > y1 - 1:
            break
        cells = row if isinstance(row, (tuple, list)) else (row,)
        tx = x0 + 6
        if icon is not None:
            tx += 18
        if i == sel:
            w_sel = x1 - 2 - (x0 + 2) if col2 is None else x1 - 2 - (x0 + 2)
            d.rectangle([x0 + 2 + (18 if icon is not None else 0), y, x0 + 2 + w_sel - 1, y + row_h - 1],
                        fill=SEL)
        if icon is not None:
            img.paste(icon, (x0 + 4, y + (row_h - 16) // 2), icon)
        fg = WHITE if i == sel else BLACK
        text(d, (tx, y + row_h / 2 + 0.5), cells[0], size, fill=fg, anchor="lm")
        if col2 and len(cells) > 1:
            text(d, (col2 + 5, y + row_h / 2 + 0.5), cells[1], size, fill=fg, anchor="lm")
        y += row_h


def port_icon16():
    rows = ["................",
            "................",
            "................",
            "................",
            "..KKKKKKKKKKKK..",
            "..KLLLLLLLLLLK..",
            "..KLDLDLDLDLLK..",
            "..KLLDLDLDLDLK..",
            "..KLLLLLLLLLLK..",
            "...KKKKKKKKKK...",
            "......KKKK......",
            ".......KK.......",
            ".......KK.......",
            "................",
            "................",
            "................"]
    return pixel_art(rows, {"K": (60, 60, 70), "L": (200, 200, 210), "D": (40, 40, 50)})


def draw_addprn_ports():
    W, H = 250, 96
    img = Image.new("RGB", (W, H), FACE)
    d = ImageDraw.Draw(img)
    radio(img, 6, 2, True)
    text(d, (22, 8), "Use the following port:", 11, anchor="lm")
    rows = [("Remote Port", "Printer sharing port"), ("LPT1:", "Printer Port"), ("LPT2:", "Printer Port"),
            ("COM1:", "Serial Port")]
    list_box(img, (6, 16, W - 7, H - 2), rows, col2=100, header=("Port", "Description"), sel=0,
             row_h=14)
    save_bmp(img, "addprn_ports.bmp")


def draw_cd_ports():
    W, H = 230, 120
    img, d = window((W, H), "Printer Driver Setup", buttons=("close",))
    text(d, (8, 29), "Select the port for your printer:", 11, anchor="lm")
    rows = ["Remote Port", "LPT1:", "LPT2:", "COM1:", "FILE:"]
    list_box(img, (8, 38, 144, H - 9), rows, sel=0, row_h=14, icon=port_icon16())
    button(d, (154, 40, 221, 61), "OK", default=True)
    button(d, (154, 66, 221, 87), "Cancel")
    save_bmp(img, "cd_ports.bmp")


def ip_field(img, box, enabled=False):
    d = ImageDraw.Draw(img)
    sunken(d, box, fill=WHITE if enabled else FACE)
    x0, y0, x1, y1 = box
    seg = (x1 - x0) / 4.0
    for k in range(1, 4):
        dx = int(x0 + seg * k)
        cy = (y0 + y1) // 2 + 3
        if enabled:
            d.point((dx, cy), fill=BLACK)
        else:
            d.rectangle([dx, cy, dx + 1, cy + 1], fill=SHADOW)
            d.point((dx + 2, cy + 2), fill=HILIGHT)


def draw_neterror_tcpip():
    W, H = 250, 150
    img, d = window((W, H), "TCP/IP Properties", buttons=("help", "close"))
    # tabs
    tabs = ["IP Address", "DNS", "Gateway", "WINS"]
    ty = 25
    page_top = ty + 16
    # page
    d.rectangle([5, page_top, W - 6, H - 30], fill=FACE)
    raised(d, (5, page_top, W - 6, H - 30), outer=False)
    x = 7
    for i, t in enumerate(tabs):
        tw = int(text_w(t, 11)) + 12
        if i == 0:
            box = (x - 2, ty - 2, x + tw + 1, page_top)
        else:
            box = (x, ty, x + tw - 1, page_top - 1)
        d.rectangle(box, fill=FACE)
        bx0, by0, bx1, by1 = box
        d.line([(bx0, by1), (bx0, by0 + 2), (bx0 + 2, by0), (bx1 - 2, by0)], fill=HILIGHT)
        d.line([(bx1 - 1, by0 + 1), (bx1 - 1, by1)], fill=SHADOW)
        d.line([(bx1, by0 + 2), (bx1, by1)], fill=DKSHADOW)
        text(d, ((bx0 + bx1) / 2, (by0 + by1) / 2 + 1), t, 11, anchor="mm")
        x += tw
        if i == 0:
            x += 2
    # contents of the page
    radio(img, 14, page_top + 7, True)
    text(d, (31, page_top + 13), "Obtain an IP address automatically", 11, anchor="lm")
    radio(img, 14, page_top + 24, False)
    text(d, (31, page_top + 30), "Use the following IP address:", 11, anchor="lm")
    grey_text(d, (34, page_top + 42), "IP Address:", 11)
    ip_field(img, (112, page_top + 40, 226, page_top + 55))
    grey_text(d, (34, page_top + 60), "Subnet Mask:", 11)
    ip_field(img, (112, page_top + 58, 226, page_top + 73))
    button(d, (W - 150, H - 25, W - 82, H - 7), "OK", default=True)
    button(d, (W - 76, H - 25, W - 8, H - 7), "Cancel")
    save_bmp(img, "neterror_tcpip.bmp")


def draw_lexmark_options():
    W, H = 200, 170
    img, d = window((W, H), "Printer Utility", buttons=("help", "close"))
    tabs = ["General", "Ports", "Options"]
    ty = 25
    page_top = ty + 16
    d.rectangle([5, page_top, W - 6, H - 30], fill=FACE)
    raised(d, (5, page_top, W - 6, H - 30), outer=False)
    x = 7
    for i, t in enumerate(tabs):
        tw = int(text_w(t, 11)) + 12
        active = (i == 2)
        box = (x - 2, ty - 2, x + tw + 1, page_top) if active else (x, ty, x + tw - 1, page_top - 1)
        d.rectangle(box, fill=FACE)
        bx0, by0, bx1, by1 = box
        d.line([(bx0, by1), (bx0, by0 + 2), (bx0 + 2, by0), (bx1 - 2, by0)], fill=HILIGHT)
        d.line([(bx1 - 1, by0 + 1), (bx1 - 1, by1)], fill=SHADOW)
        d.line([(bx1, by0 + 2), (bx1, by1)], fill=DKSHADOW)
        text(d, ((bx0 + bx1) / 2, (by0 + by1) / 2 + 1), t, 11, anchor="mm")
        x += tw
    etched_group(d, (11, page_top + 12, W - 12, H - 38), "Communication")
    items = [("Enable bidirectional support", True), ("Show printer status", True),
             ("Spool print jobs", False)]
    yy = page_top + 26
    for label, chk in items:
        checkbox(img, 20, yy, chk)
        text(d, (38, yy + 7), label, 11, anchor="lm")
        yy += 22
    button(d, (W - 140, H - 25, W - 76, H - 7), "OK", default=True)
    button(d, (W - 70, H - 25, W - 8, H - 7), "Cancel")
    # red marker ellipse around the first check box
    lay = Image.new("RGBA", (W * SS, H * SS), (0, 0, 0, 0))
    ld = ImageDraw.Draw(lay)
    tw = text_w(items[0][0], 11)
    y0 = page_top + 26
    ld.ellipse([9 * SS, (y0 - 7) * SS, (38 + tw + 7) * SS, (y0 + 20) * SS], outline=(220, 0, 0, 255),
               width=int(2.2 * SS))
    lay = downsample(lay)
    img.paste(lay, (0, 0), lay)
    save_bmp(img, "lexmark_options.bmp")


def draw_lexmark98_error():
    W, H = 180, 59
    img = Image.new("RGB", (W, H), FACE)
    d = ImageDraw.Draw(img)
    raised(d, (0, 0, W - 1, H - 1), outer=True)
    title_bar(img, (3, 3, W - 4, 17), "Printer Utility", buttons=("close",), size=10)
    ic = stop_icon(21)
    img.paste(ic, (8, 20), ic)
    text(d, (36, 25), "Printer utility has caused an", 10, anchor="lm")
    text(d, (36, 36), "error and will be closed.", 10, anchor="lm")
    button(d, (W // 2 - 20, H - 16, W // 2 + 19, H - 4), "OK", default=True, size=10)
    save_bmp(img, "lexmark98_error.bmp")


# ---------------------------------------------------------------------------
# 7. list view icons 16 x 16 on white
# ---------------------------------------------------------------------------

ICON_LEGEND = {
    "K": (52, 54, 64),      # outline
    "W": (255, 255, 255),   # paper
    "B": (90, 130, 210),    # printed lines
    "L": (232, 232, 236),   # light body
    "G": (170, 172, 184),   # mid body
    "D": (104, 106, 118),   # dark body
    "S": (30, 30, 36),      # slot
    "g": (30, 200, 50),     # green LED
    "a": (250, 170, 20),    # amber LED
    "w": (30, 110, 220),    # wave blue
    "c": (0, 130, 110),     # cable
}

PRINTER16 = [
    "................",
    "....KKKKKKKK....",
    "....KWWWWWWK....",
    "....KWBBBBWK....",
    "....KWWWWWWK....",
    "..KKKKKKKKKKKK..",
    ".KLLLLLLLLLLLLK.",
    ".KLLLLLLLLLLgLK.",
    ".KGGGGGGGGGGGGK.",
    ".KGSSSSSSSSSSGK.",
    ".KGGGGGGGGGGGGK.",
    ".KDKWWWWWWWWKDK.",
    ".KKKWBBBBBBWKKK.",
    "...KWWWWWWWWK...",
    "...KKKKKKKKKK...",
    "................",
]

PRINTER16_REMOTE = [
    "....KKKKKKKK....",
    "....KWWWWWWK....",
    "....KWBBBBWK....",
    "..KKKKKKKKKKKK..",
    ".KLLLLLLLLLLLLK.",
    ".KLLLLLLLLLLgLK.",
    ".KGGGGGGGGGGGGK.",
    ".KGSSSSSSSSSSGK.",
    ".KGGGGGGGGGGGGK.",
    ".KKKWWWWWWWWKKK.",
    "...KWBBBBBBWK...",
    "...KKKKKKKKKK...",
    ".......cc.......",
    ".......cc.......",
    "cccccccccccccccc",
    "cccccccccccccccc",
]

SERVER16 = [
    "................",
    ".........w...w..",
    "........w..K..w.",
    "........w..K..w.",
    ".........w.K.w..",
    "...........K....",
    "...........K....",
    "...........K....",
    ".KKKKKKKKKKKKKK.",
    "KLLLLLLLLLLLLLLK",
    "KGGGGGGGGGGGGGGK",
    "KGgGaGGGGDGDGDGK",
    "KGGGGGGGGGGGGGGK",
    "KDDDDDDDDDDDDDDK",
    ".KKKKKKKKKKKKKK.",
    "................",
]


def draw_list_icons():
    for name, rows in (("list_printer.bmp", PRINTER16), ("list_printer_remote.bmp", PRINTER16_REMOTE),
                       ("list_server.bmp", SERVER16)):
        save_bmp(pixel_art(rows, ICON_LEGEND, bg=WHITE), name)


# ---------------------------------------------------------------------------
# 8. app.ico  16, 32, 48 (32-bit DIB entries with alpha and AND mask)
# ---------------------------------------------------------------------------

APP16 = [
    "..........www...",
    ".............w..",
    "..............w.",
    "..........ww..w.",
    "....KKKKK...w..w",
    "....KWWWK...w..w",
    "....KWBWK.......",
    "..KKKKKKKKKKK...",
    ".KLLLLLLLLLLLK..",
    ".KLLLLLLLLLgLK..",
    ".KGGGGGGGGGGGK..",
    ".KGSSSSSSSSSGK..",
    ".KGGGGGGGGGGGK..",
    ".KKKWWWWWWWKKK..",
    "...KWBBBBBWK....",
    "...KKKKKKKKK....",
]


def app_icon(size):
    lay = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(lay)
    u = size * SS / 48.0
    draw_printer(d, 0.5 * u, 15 * u, 35 * u, 32 * u, in_paper=True, out_paper=True,
                 outline=(40, 44, 60))
    # waves from the upper right corner of the paper
    cx, cy = 27 * u, 19 * u
    for k, rr in enumerate((6, 11.5, 17)):
        d.arc([cx - rr * u, cy - rr * u, cx + rr * u, cy + rr * u], -85, -5,
              fill=(20, 100, 230, 255), width=int(round(3.2 * u)))
    return downsample(lay)


def write_ico(path, images):
    entries = []
    blobs = []
    for im in images:
        im = im.convert("RGBA")
        w, h = im.size
        px = im.load()
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = px[x, y]
                xor += bytes((b, g, r, a))
        row_bytes = ((w + 31) // 32) * 4
        andm = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(row_bytes)
            for x in range(w):
                if px[x, y][3] < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            andm += row
        hdr = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
        blob = hdr + bytes(xor) + bytes(andm)
        blobs.append(blob)
        entries.append((w, h, len(blob)))
    data = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (w, h, n) in entries:
        data += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, n, offset)
        offset += n
    for b in blobs:
        data += b
    with open(path, "wb") as f:
        f.write(bytes(data))


def draw_app_ico():
    ico16 = pixel_art(APP16, ICON_LEGEND)
    write_ico(out_path("app.ico"), [ico16, app_icon(32), app_icon(48)])


# ---------------------------------------------------------------------------
# 9. test_logo.bmp  400 x 79: the banner at the top of the printed test page
# ---------------------------------------------------------------------------

# The wordmark on the banner: the server product line's name.
TEST_LOGO_WORDMARK = "talo"


def draw_test_logo():
    W, H = 400, 79
    s = SS
    # Night blue on the left to teal on the right, a little lighter at the top.
    img = hgradient((W, H), (28, 34, 112), (0, 142, 160))
    shade = vgradient((W, H), [(0, (255, 255, 255)), (1, (0, 0, 0))])
    img = Image.blend(img, shade, 0.12)

    lay = Image.new("RGBA", (W * s, H * s), (0, 0, 0, 0))
    d = ImageDraw.Draw(lay)
    # A network of nodes behind the right half: lines first, then the nodes.
    rnd = random.Random(400079)
    nodes = [(rnd.uniform(196, 312), rnd.uniform(7, 62)) for _ in range(12)]
    hub = (326, 37)
    nodes.append(hub)
    for i, (x0, y0) in enumerate(nodes):
        near = sorted(nodes, key=lambda n: (n[0] - x0) ** 2 + (n[1] - y0) ** 2)[1:3]
        for x1, y1 in near:
            d.line([(x0 * s, y0 * s), (x1 * s, y1 * s)], fill=(190, 240, 255, 70), width=s)
    for x, y in nodes:
        r = 1.8 * s
        d.ellipse([x * s - r, y * s - r, x * s + r, y * s + r], fill=(210, 250, 255, 150))
    # Stripes along the bottom edge.
    for y0, y1, col in ((H - 8, H - 5, (255, 176, 32)), (H - 5, H - 3, (236, 64, 122)),
                        (H - 3, H, (124, 204, 60))):
        d.rectangle([0, y0 * s, W * s, y1 * s], fill=col + (255,))
    # A white tile with the printer, and the printer's signal reaching three
    # computers on the network at the right.
    d.rounded_rectangle([7 * s, 6 * s, 69 * s, 66 * s], radius=9 * s, fill=(255, 255, 255, 245))
    draw_printer(d, 13 * s, 14 * s, 46 * s, 46 * s, in_paper=True, out_paper=True,
                 outline=(40, 46, 70))
    cx, cy = 54 * s, 22 * s
    for rr, col in ((6, (255, 176, 32)), (10, (236, 64, 122)), (14, (20, 110, 230))):
        d.arc([cx - rr * s, cy - rr * s, cx + rr * s, cy + rr * s], -80, -10,
              fill=col + (255,), width=int(2.2 * s))
    screens = ((364, 16), (384, 39), (362, 60))
    for px, py in screens:
        d.line([(hub[0] * s, hub[1] * s), (px * s, py * s)], fill=(255, 255, 255, 200),
               width=int(1.6 * s))
    for px, py in screens:
        # a small monitor on a stand
        d.rounded_rectangle([(px - 8) * s, (py - 6) * s, (px + 8) * s, (py + 5) * s],
                            radius=1.5 * s, fill=(236, 246, 255, 255), outline=(20, 40, 80, 255),
                            width=s)
        d.rectangle([(px - 6) * s, (py - 4) * s, (px + 6) * s, (py + 3) * s],
                    fill=(70, 150, 230, 255))
        d.rectangle([(px - 1.2) * s, (py + 5) * s, (px + 1.2) * s, (py + 8) * s],
                    fill=(20, 40, 80, 255))
        d.rectangle([(px - 4.5) * s, (py + 8) * s, (px + 4.5) * s, (py + 9.2) * s],
                    fill=(20, 40, 80, 255))
    r = 5 * s
    d.ellipse([hub[0] * s - r, hub[1] * s - r, hub[0] * s + r, hub[1] * s + r],
              fill=(255, 176, 32, 255), outline=(255, 255, 255, 255), width=s)
    lay = downsample(lay)
    img.paste(lay, (0, 0), lay)

    # The wordmark with a soft shadow, and the product line under it.
    d = ImageDraw.Draw(img)
    f = font(40, True)
    d.text((84, 4), TEST_LOGO_WORDMARK, font=f, fill=(12, 18, 60))
    d.text((82, 2), TEST_LOGO_WORDMARK, font=f, fill=(255, 255, 255))
    tag = "PRINTER SHARING SERVER"
    tx = 84
    for ch in tag:  # letter-spaced
        d.text((tx, 52), ch, font=font(11, True), fill=(196, 236, 255))
        tx += int(d.textlength(ch, font=font(11, True))) + 2
    save_bmp(img, "test_logo.bmp")


# ---------------------------------------------------------------------------
# 10. test_glyph.bmp  144 x 126: a brush-stroke ampersand
# ---------------------------------------------------------------------------

def bezier(p0, p1, p2, p3, n):
    pts = []
    for i in range(n + 1):
        t = i / n
        mt = 1 - t
        x = mt ** 3 * p0[0] + 3 * mt * mt * t * p1[0] + 3 * mt * t * t * p2[0] + t ** 3 * p3[0]
        y = mt ** 3 * p0[1] + 3 * mt * mt * t * p1[1] + 3 * mt * t * t * p2[1] + t ** 3 * p3[1]
        pts.append((x, y))
    return pts


def nib_stroke(d, path, nib_w, nib_angle, fill, taper_in=0.08, taper_out=0.10):
    """Draw a broad-nib stroke along a list of points."""
    n = len(path)
    ca, sa = math.cos(nib_angle), math.sin(nib_angle)
    prev = None
    for i, (x, y) in enumerate(path):
        t = i / (n - 1)
        p = 1.0
        if t < taper_in:
            p = 0.25 + 0.75 * math.sin(t / taper_in * math.pi / 2)
        elif t > 1 - taper_out:
            p = 0.25 + 0.75 * math.sin((1 - t) / taper_out * math.pi / 2)
        hw = nib_w * p / 2
        a = (x - ca * hw, y - sa * hw)
        b = (x + ca * hw, y + sa * hw)
        if prev is not None:
            d.polygon([prev[0], prev[1], b, a], fill=fill)
        r = hw * 0.18 + 1
        d.ellipse([x - r, y - r, x + r, y + r], fill=fill)
        prev = (a, b)


def draw_test_glyph():
    W, H = 144, 126
    mask = Image.new("L", (W * SS, H * SS), 0)
    d = ImageDraw.Draw(mask)
    s = SS
    segs = [
        ((114, 112), (92, 92), (60, 66), (52, 48)),
        ((52, 48), (44, 30), (52, 12), (68, 12)),
        ((68, 12), (86, 12), (90, 32), (74, 44)),
        ((74, 44), (52, 60), (26, 70), (28, 92)),
        ((28, 92), (30, 110), (50, 117), (66, 114)),
        ((66, 114), (88, 110), (102, 90), (108, 70)),
        ((108, 70), (110, 62), (118, 58), (128, 60)),
    ]
    path = []
    for seg in segs:
        pts = bezier(*[(px * s, py * s) for px, py in seg], 80)
        if path:
            pts = pts[1:]
        path.extend(pts)
    nib_stroke(d, path, 15 * s, math.radians(-40), 255)
    # ink drops flicked off the end of the last stroke
    for (dx, dy, r) in ((133, 53, 2.3), (139, 48, 1.3)):
        d.ellipse([(dx - r) * s, (dy - r) * s, (dx + r) * s, (dy + r) * s], fill=255)
    # ink: black at the top turning to dark red towards the bottom right
    ink = Image.new("RGB", mask.size)
    ipx = ink.load()
    for y in range(0, H * SS):
        for x in range(0, W * SS):
            t = min(1.0, max(0.0, (x * 0.35 + y) / (H * SS * 1.2) - 0.25))
            ipx[x, y] = mix((18, 10, 12), (150, 12, 22), t * t)
    lay = Image.new("RGB", mask.size, WHITE)
    lay.paste(ink, (0, 0), mask)
    save_bmp(downsample(lay), "test_glyph.bmp")


def main():
    draw_banner()
    draw_header()
    draw_server_gif()
    draw_printer_bmp()
    draw_help_glyph()
    draw_noprn_printers()
    draw_addprn_local()
    draw_addprn_ports()
    draw_cd_ports()
    draw_neterror_tcpip()
    draw_lexmark_options()
    draw_lexmark98_error()
    draw_list_icons()
    draw_app_ico()
    draw_test_logo()
    draw_test_glyph()


if __name__ == "__main__":
    main()
