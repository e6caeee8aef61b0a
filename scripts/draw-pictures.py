#!/usr/bin/env python3
"""Draws the installer's PNG pictures and its window icon, and writes the
resource script that embeds them.

Usage: /usr/bin/python3 scripts/draw-pictures.py [OUTDIR]

OUTDIR defaults to resources/pictures in this checkout. The resource script is
written beside OUTDIR as <OUTDIR>.rc (resources/pictures.rc by default), with
paths relative to OUTDIR's parent, which is on windres' include path.

Needs Debian's Pillow (apt-get install python3-pil). The output is the same
bytes on every run: nothing here depends on time, and the PNGs carry no
metadata chunks.
"""

import io
import math
import os
import struct
import sys

from PIL import Image, ImageChops

# Every shape is drawn this many times larger, without anti-aliasing, and then
# reduced, which gives the smooth edges. BOX averages each pixel's own area
# only, so a pixel-aligned line keeps its exact colour (LANCZOS would spread
# about 7% of it into the neighbours).
SCALE = 8
RESAMPLE = Image.BOX

GREEN = (20, 173, 90)
LIGHT_GREEN = (31, 195, 106)
DARK_GREEN = (13, 155, 78)
GREY = (155, 155, 155)
WHITE = (255, 255, 255)
RING_GREEN = (200, 236, 216)
BOX_GREY = (216, 216, 216)
BUTTON_OUTLINE = (216, 218, 223)
BUTTON_GREY = (221, 224, 223)


# --- geometry, in output pixels (pixel edges at whole numbers) -------------

def circle(cx, cy, r, n=96):
    return [(cx + r * math.cos(2 * math.pi * i / n),
             cy + r * math.sin(2 * math.pi * i / n)) for i in range(n)]


def arc(cx, cy, r, a0, a1, n):
    """Points on a circle from angle a0 to a1 (degrees; screen coordinates,
    so a growing angle turns clockwise)."""
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / n)))
            for i in range(n + 1)]


def rounded_rect(x0, y0, x1, y1, r, n=24):
    pts = []
    for cx, cy, a in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0),
                      (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)):
        pts += arc(cx, cy, r, a, a + 90, n)
    return pts


def band(cx, cy, r_in, r_out, a0, a1):
    """An annular sector: a thick arc with square ends."""
    n = max(8, int(abs(a1 - a0) / 2))
    return arc(cx, cy, r_out, a0, a1, n) + arc(cx, cy, r_in, a1, a0, n)


def segment(p, q, w):
    """A straight stroke of width w from p to q with square ends."""
    dx, dy = q[0] - p[0], q[1] - p[1]
    k = w / 2 / math.hypot(dx, dy)
    nx, ny = -dy * k, dx * k
    return [(p[0] + nx, p[1] + ny), (q[0] + nx, q[1] + ny),
            (q[0] - nx, q[1] - ny), (p[0] - nx, p[1] - ny)]


def lerp(p, q, t):
    return (p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t)


def bezier(p0, p1, p2, p3, n=64):
    pts = []
    for i in range(n + 1):
        t = i / n
        u = 1 - t
        pts.append((u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                    u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]))
    return pts


class Mask:
    """A coverage mask drawn at SCALE times the output size."""

    def __init__(self, w, h, dx=0.0, dy=0.0, k=1.0):
        self.size = (w, h)
        self.im = Image.new("L", (w * SCALE, h * SCALE), 0)
        # Lets a drawing made for one box be placed and scaled into another
        # (the logo into the icon's disc).
        self.dx, self.dy, self.k = dx, dy, k

    def _fill(self, pts, value):
        """Fills the fine pixels whose centres lie inside the polygon (even-odd
        rule). Pillow's own polygon fill also paints the pixels its edges
        touch, which makes every shape 1/SCALE px too wide on one side and
        shows as a faint fringe along straight, pixel-aligned edges."""
        pts = [((self.dx + x * self.k) * SCALE, (self.dy + y * self.k) * SCALE) for x, y in pts]
        w, h = self.im.size
        rows = {}
        for (x1, y1), (x2, y2) in zip(pts, pts[1:] + pts[:1]):
            if y1 == y2:
                continue
            lo, hi = min(y1, y2), max(y1, y2)
            # Rows whose centre y + 0.5 lies in [lo, hi): each vertex is
            # counted once.
            for y in range(max(0, math.ceil(lo - 0.5)), min(h, math.ceil(hi - 0.5))):
                t = (y + 0.5 - y1) / (y2 - y1)
                rows.setdefault(y, []).append(x1 + t * (x2 - x1))
        for y, xs in rows.items():
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                i0, i1 = max(0, math.ceil(a - 0.5)), min(w, math.ceil(b - 0.5))
                if i1 > i0:
                    self.im.paste(value, (i0, y, i1, y + 1))

    def add(self, pts):
        self._fill(pts, 255)
        return self

    def cut(self, pts):
        self._fill(pts, 0)
        return self

    def dot(self, cx, cy, r):
        return self.add(circle(cx, cy, r))

    def stroke(self, pts, w, closed=False):
        """A polyline with round ends and joins."""
        if closed:
            pts = list(pts) + [pts[0]]
        for p, q in zip(pts, pts[1:]):
            self.add(segment(p, q, w))
        for p in pts:
            self.dot(p[0], p[1], w / 2)
        return self

    def intersect(self, other):
        m = Mask(*self.size, self.dx, self.dy, self.k)
        m.im = ImageChops.darker(self.im, other.im)
        return m


# --- composition ------------------------------------------------------------

def flat(colour, mask):
    """One colour over transparency: the colour stays exact in every pixel and
    only the alpha carries the anti-aliasing."""
    alpha = mask.im.resize(mask.size, RESAMPLE)
    im = Image.new("RGBA", mask.size, colour + (255,))
    im.putalpha(alpha)
    return clean(im)


def layers(size, background, parts):
    """Paints (colour, mask) pairs in order over a background (None for
    transparent) at the fine size, then reduces the whole picture. Pillow
    reduces RGBA with premultiplied alpha, so edges do not darken."""
    w, h = size
    im = Image.new("RGBA", (w * SCALE, h * SCALE), (background or (0, 0, 0)) + ((255,) if background else (0,)))
    for colour, mask in parts:
        layer = Image.new("RGBA", im.size, colour + (255,))
        layer.putalpha(mask.im)
        im = Image.alpha_composite(im, layer)
    return clean(im.resize(size, RESAMPLE))


def clean(im):
    # A pixel nobody can see should not keep a colour: it keeps the files
    # small and the icon's legacy mask rendering clean.
    px = [(0, 0, 0, 0) if p[3] == 0 else p for p in im.getdata()]
    out = Image.new("RGBA", im.size)
    out.putdata(px)
    return out


def opaque(im):
    # Pictures that sit on the white window carry full alpha everywhere, so
    # drawing them with or without blending gives the same pixels.
    assert im.getextrema()[3][0] == 255
    return im


# --- the pictures -----------------------------------------------------------

def folder():
    # Straight edges on whole pixels keep the small folder crisp; only the
    # tab's slope and the corners are smoothed.
    back = Mask(26, 23)
    back.add(rounded_rect(1, 2, 8, 7, 1))
    back.add([(7, 2), (9.5, 2), (12.5, 5), (12.5, 7), (7, 7)])
    back.add(rounded_rect(1, 5, 25, 21, 1.5))
    front = Mask(26, 23).add(rounded_rect(1, 8, 25, 21, 1.5))
    return opaque(layers((26, 23), WHITE, [(GREEN, back), (LIGHT_GREEN, front)]))


def cross(colour):
    m = Mask(12, 12)
    m.stroke([(1.6, 1.6), (10.4, 10.4)], 1.5)
    m.stroke([(10.4, 1.6), (1.6, 10.4)], 1.5)
    return flat(colour, m)


def bar(colour):
    return Image.new("RGB", (15, 2), colour)


def box_outline():
    # The outline sits on the outermost pixels so its straight sides stay
    # one crisp pixel wide.
    return Mask(16, 16).add(rounded_rect(0, 0, 16, 16, 2.5)).cut(rounded_rect(1, 1, 15, 15, 1.5))


def checked_box():
    m = box_outline()
    m.stroke([(4.2, 8.3), (6.9, 11.0), (11.9, 5.3)], 1.6)
    return flat(LIGHT_GREEN, m)


def empty_box():
    return flat(BOX_GREY, box_outline())


def button(kind):
    outer = Mask(131, 37).add(rounded_rect(0, 0, 131, 37, 4))
    if kind == "outlined":
        inner = Mask(131, 37).add(rounded_rect(1, 1, 130, 36, 3))
        return layers((131, 37), None, [(BUTTON_OUTLINE, outer), (WHITE, inner)])
    return flat(BUTTON_GREY if kind == "grey" else GREEN, outer)


def busy_frame(i):
    # Twenty frames 18 degrees apart make exactly one turn, so the last one
    # leads straight back into the first.
    c, mid = 12, 9.25
    ring = Mask(24, 24).add(circle(c, c, mid + 1, 128)).cut(circle(c, c, mid - 1, 128))
    # 72 degrees between the centres of the round ends; with the ends the
    # arc covers about a quarter turn.
    a0 = -90 + 18 * i
    a1 = a0 + 72
    sweep = Mask(24, 24).add(band(c, c, mid - 1.5, mid + 1.5, a0, a1))
    for a in (a0, a1):
        sweep.dot(c + mid * math.cos(math.radians(a)), c + mid * math.sin(math.radians(a)), 1.5)
    return opaque(layers((24, 24), WHITE, [(RING_GREEN, ring), (GREEN, sweep)]))


# The logo mark: an open "C" ring with a leaf growing out of it through the
# opening. It is drawn in the logo picture's own 189 x 168 box; the icon maps
# the same box into its disc.
MARK_W, MARK_H = 189, 168
RING_C = (93.0, 85.0)
RING_R = 80.0          # outer radius
LEAF_ANGLE = -42.0     # direction of the leaf and of the ring's opening
LEAF_FROM, LEAF_TO = -24.0, 112.0   # along that direction, from the ring centre
LEAF_WIDTH = 60.0


def leaf_outline(width_scale=1.0):
    """Both sides of the leaf as point lists from base to tip, and at(t, s):
    the point a fraction t along the leaf's axis and s across it."""
    ux, uy = math.cos(math.radians(LEAF_ANGLE)), math.sin(math.radians(LEAF_ANGLE))
    vx, vy = uy, -ux   # left of the axis when looking towards the tip
    cx, cy = RING_C
    length = LEAF_TO - LEAF_FROM
    w = LEAF_WIDTH * width_scale

    def at(t, s):
        d = LEAF_FROM + t * length
        return (cx + d * ux + s * vx, cy + d * uy + s * vy)

    # A fuller belly near the base and a long, slightly tilted tip read as a
    # leaf rather than a lens.
    upper = bezier(at(0, 0), at(0.12, 0.62 * w), at(0.70, 0.66 * w), at(1, 0.02 * w))
    lower = bezier(at(0, 0), at(0.18, -0.66 * w), at(0.78, -0.46 * w), at(1, 0.02 * w))
    return upper, lower, at


def leaf_half_width(side, d):
    """How far one side of the leaf reaches from its axis near the point at
    distance d from the ring centre along that axis."""
    ux, uy = math.cos(math.radians(LEAF_ANGLE)), math.sin(math.radians(LEAF_ANGLE))
    best = 0.0
    for x, y in side:
        px, py = x - RING_C[0], y - RING_C[1]
        along = px * ux + py * uy
        across = abs(-px * uy + py * ux)
        if abs(along - d) < 14:
            best = max(best, across)
    return best


def mark(box, ring_stroke, gap_clearance, width_scale=1.0):
    """Masks for the ring, the whole leaf and the leaf's shaded half, placed
    into box = (w, h, dx, dy, k)."""
    w, h, dx, dy, k = box
    upper, lower, at = leaf_outline(width_scale)
    cx, cy = RING_C
    mid = RING_R - ring_stroke / 2
    # Open the ring just enough that its round ends keep a clear gap from
    # the leaf where the leaf crosses it.
    reach = max(leaf_half_width(upper, mid), leaf_half_width(lower, mid))
    half_gap = math.degrees(math.asin(min(1.0, (reach + gap_clearance + ring_stroke / 2) / mid)))
    a0, a1 = LEAF_ANGLE + half_gap, LEAF_ANGLE + 360 - half_gap
    ring = Mask(w, h, dx, dy, k).add(band(cx, cy, RING_R - ring_stroke, RING_R, a0, a1))
    for a in (a0, a1):
        ring.dot(cx + mid * math.cos(math.radians(a)), cy + mid * math.sin(math.radians(a)), ring_stroke / 2)
    leaf = Mask(w, h, dx, dy, k).add(upper + lower[::-1])
    # The half on the upper side of the midrib, as a half plane.
    far = 400
    ux, uy = math.cos(math.radians(LEAF_ANGLE)), math.sin(math.radians(LEAF_ANGLE))
    vx, vy = uy, -ux
    b, t = at(0, 0), at(1, 0)
    plane = Mask(w, h, dx, dy, k).add([
        (b[0] - far * ux, b[1] - far * uy), (t[0] + far * ux, t[1] + far * uy),
        (t[0] + far * (ux + vx), t[1] + far * (uy + vy)), (b[0] + far * (vx - ux), b[1] + far * (vy - uy))])
    return ring, leaf, leaf.intersect(plane), (b, t)


def logo():
    ring, leaf, shade, _ = mark((MARK_W, MARK_H, 0, 0, 1), 26, 9)
    return layers((MARK_W, MARK_H), None, [(GREEN, ring), (LIGHT_GREEN, leaf), (DARK_GREEN, shade)])


def icon_image(size):
    """The mark in white on a green disc filling the square."""
    # Small sizes get a heavier ring, a wider leaf and a wider opening so they
    # keep reading at 16 and 24 pixels; from 48 up the leaf gets a thin midrib,
    # standing in for the two shades of the logo's leaf.
    if size <= 16:
        stroke, clearance, widen, fill = 34, 16, 1.1, 0.74
    elif size <= 24:
        stroke, clearance, widen, fill = 32, 14, 1.1, 0.72
    elif size <= 48:
        stroke, clearance, widen, fill = 28, 10, 1.05, 0.66
    else:
        stroke, clearance, widen, fill = 26, 9, 1.0, 0.63
    # Fit what this variant of the mark actually covers into the disc, its
    # middle on the disc's centre. It is measured on a roomy canvas, as the
    # wider leaf may leave the logo's box.
    pad = 40
    ring, leaf, _, _ = mark((MARK_W + 2 * pad, MARK_H + 2 * pad, pad, pad, 1), stroke, clearance, widen)
    x0, y0, x1, y1 = [v / SCALE - pad for v in ImageChops.lighter(ring.im, leaf.im).getbbox()]
    k = fill * size / max(x1 - x0, y1 - y0)
    dx = size / 2 - k * (x0 + x1) / 2
    dy = size / 2 - k * (y0 + y1) / 2
    box = (size, size, dx, dy, k)
    ring, leaf, _, (b, t) = mark(box, stroke, clearance, widen)
    disc = Mask(size, size).add(circle(size / 2, size / 2, size / 2, 256))
    parts = [(GREEN, disc), (WHITE, ring), (WHITE, leaf)]
    if size >= 48:
        rib = Mask(*box).stroke([lerp(b, t, 0.1), lerp(b, t, 0.72)], 4)
        parts.append((GREEN, rib.intersect(leaf)))
    return layers((size, size), None, parts)


PICTURES = [
    (154, folder),
    (157, lambda: cross(LIGHT_GREEN)),
    (158, lambda: cross(DARK_GREEN)),
    (159, lambda: cross(GREY)),
    (160, lambda: bar(LIGHT_GREEN)),
    (161, lambda: bar(DARK_GREEN)),
    (162, lambda: opaque(bar(GREY).convert("RGBA"))),
    (163, checked_box),
    (165, empty_box),
    (209, lambda: button("outlined")),
    (210, lambda: button("grey")),
    (211, lambda: button("green")),
    (222, logo),
] + [(223 + i, (lambda i=i: busy_frame(i))) for i in range(20)]

ICON_ID = 219
ICON_SIZES = [256, 128, 96, 64, 48, 32, 24, 16]


# --- files ------------------------------------------------------------------

def png_bytes(im):
    # A fresh buffer and no pnginfo: Pillow then writes only IHDR, IDAT and
    # IEND, so the bytes depend on the pixels alone.
    buf = io.BytesIO()
    im.save(buf, "PNG", optimize=False, compress_level=9)
    return buf.getvalue()


def dib_bytes(im):
    """A classic icon image: BITMAPINFOHEADER with the doubled height, the
    bottom-up BGRA rows, then the 1-bit AND mask (1 where nothing is drawn)."""
    w, h = im.size
    px = list(im.getdata())
    mask_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = px[y * w:(y + 1) * w]
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico_bytes(images):
    # Pillow's ICO writer stores every entry as PNG, which Windows before Vista
    # and some loaders cannot read. Only the 256 entry, which those never use
    # and which would be 256 KiB as a bitmap, is PNG; the others are DIBs.
    blobs = [png_bytes(im) if im.size[0] >= 256 else dib_bytes(im) for im in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for im, blob in zip(images, blobs):
        s = im.size[0]
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "pictures")
    outdir = os.path.normpath(outdir)
    os.makedirs(outdir, exist_ok=True)
    name = os.path.basename(outdir)

    # windows.h gives LANG_ENGLISH and friends when this file is compiled on
    # its own; included from installer.rc it is already there.
    rc = ["// The program's pictures and window icon; written by scripts/draw-pictures.py.",
          "#include <windows.h>",
          "",
          "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US"]
    for pid, draw in PICTURES:
        write(os.path.join(outdir, "%d.png" % pid), png_bytes(draw()))
        rc.append('%d PNG "%s/%d.png"' % (pid, name, pid))
    write(os.path.join(outdir, "installer.ico"), ico_bytes([icon_image(s) for s in ICON_SIZES]))
    rc.append('%d ICON "%s/installer.ico"' % (ICON_ID, name))
    write(outdir + ".rc", ("\n".join(rc) + "\n").encode("ascii"))

    check(outdir)


# Expected size and kind of every picture: "opaque" is RGBA with no
# see-through pixel, "alpha" RGBA, "rgb" no alpha at all.
EXPECTED = {154: (26, 23, "opaque"), 157: (12, 12, "alpha"), 158: (12, 12, "alpha"),
            159: (12, 12, "alpha"), 160: (15, 2, "rgb"), 161: (15, 2, "rgb"),
            162: (15, 2, "opaque"), 163: (16, 16, "alpha"), 165: (16, 16, "alpha"),
            209: (131, 37, "alpha"), 210: (131, 37, "alpha"), 211: (131, 37, "alpha"),
            222: (189, 168, "alpha")}
EXPECTED.update({223 + i: (24, 24, "opaque") for i in range(20)})


def check(outdir):
    """Reads the files back and fails on any size or kind that is not the
    one the program expects."""
    bad = 0
    for pid, (w, h, kind) in sorted(EXPECTED.items()):
        path = os.path.join(outdir, "%d.png" % pid)
        with open(path, "rb") as f:
            raw = f.read()
        im = Image.open(io.BytesIO(raw))
        colour_type = raw[25]
        line = "%d.png %6d bytes %dx%d %s colour-type %d" % (
            pid, len(raw), im.size[0], im.size[1], im.mode, colour_type)
        ok = im.size == (w, h) and im.mode == ("RGB" if kind == "rgb" else "RGBA")
        ok = ok and colour_type == (2 if kind == "rgb" else 6)
        if kind == "opaque":
            lo = im.getextrema()[3][0]
            line += " min-alpha %d" % lo
            ok = ok and lo == 255
        print(line + ("" if ok else "  <-- WRONG"))
        bad += not ok
    with open(os.path.join(outdir, "installer.ico"), "rb") as f:
        ico = f.read()
    count = struct.unpack_from("<H", ico, 4)[0]
    sizes = []
    for i in range(count):
        w, _, _, _, _, bits, length, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
        kind = "png" if ico[offset:offset + 8] == b"\x89PNG\r\n\x1a\n" else "dib"
        sizes.append("%d/%dbpp/%s" % (w or 256, bits, kind))
    print("installer.ico %d bytes, %d entries: %s" % (len(ico), count, " ".join(sizes)))
    bad += count != len(ICON_SIZES)
    if bad:
        sys.exit("%d picture(s) are wrong" % bad)


if __name__ == "__main__":
    main()
