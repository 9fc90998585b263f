#!/usr/bin/env python3
"""Writes the tone-curve files ("<name>.acv") of the colour looks into the bundle folder.

Each look is designed from a few parameters:
  tone  -- the composite curve: black level, white level, midtone lift, contrast (S-curve)
  r/g/b -- per-channel shifts in 0..255 units at shadows, midtones and highlights

File format: big-endian u16 version (4), curve count (4), then per curve a point count and
(output, input) pairs; curve 0 is the composite, curves 1..3 red, green and blue.

Looks of one menu must stay visibly apart: before writing, every pair of looks of a menu is
compared over the contact sheet's synthetic scene (the looks' shared pre-chain left out), and the
generator fails, writing nothing, when two of them differ by less than MIN_MENU_RMS (root mean
square of the red, green and blue differences, in levels of 255) plus a margin for the pre-chain.
`korva_contact_sheet --check 12` then measures the written files through the application's own
rendering (the build target korva_generate_curves runs both).

Usage: generate_curves.py [OUTPUT_FOLDER]   (default: the resources folder of the tree)
"""
import hashlib
import math
import os
import struct
import sys

INPUTS = (0, 48, 96, 128, 160, 208, 255)
MIN_MENU_RMS = 12.0
# The check here leaves out the looks' shared pre-chain (face balance, noise reduction, tone curve,
# vignette), which brings looks up to about 2 levels closer together on the contact sheet, so it
# asks for that much more.
MODEL_MARGIN = 2.0
SCENE_WIDTH, SCENE_HEIGHT = 240, 180  # the contact sheet's tile
CUBE_DIMENSION = 20


def clamp(v, lo=0, hi=255):
    return max(lo, min(hi, v))


def tone_curve(black=0, white=255, lift=0, contrast=0.0):
    """Composite curve points: levels, a midtone lift (peaks at 128) and an S-curve."""
    pts = []
    for x in INPUTS:
        t = x / 255.0
        s = t - contrast * math.sin(2 * math.pi * t) / (2 * math.pi)
        bump = lift * math.sin(math.pi * t)
        y = black + (white - black) * s + bump
        pts.append((x, int(round(clamp(y)))))
    return pts


def channel_curve(shadow=0, mid=0, high=0):
    """A channel curve shifting shadows, midtones and highlights, blended smoothly."""
    pts = []
    for x in INPUTS:
        t = x / 255.0
        ws = max(0.0, 1 - t / 0.5) ** 1.5
        wh = max(0.0, (t - 0.5) / 0.5) ** 1.5
        wm = math.sin(math.pi * t) ** 2
        y = x + shadow * ws + mid * wm + high * wh
        pts.append((x, int(round(clamp(y)))))
    return pts


def encode(curves):
    out = struct.pack(">HH", 4, len(curves))
    for pts in curves:
        out += struct.pack(">H", len(pts))
        for x, y in pts:
            out += struct.pack(">HH", y, x)
    return out


def look(tone=None, r=(0, 0, 0), g=(0, 0, 0), b=(0, 0, 0)):
    return [tone_curve(**(tone or {})), channel_curve(*r), channel_curve(*g), channel_curve(*b)]


# The four menus. Shifts are (shadows, midtones, highlights) in 0..255 units.
MENUS = {
  "BRIGHT": {
    # airy and bright -- lifted mids, a touch of matte, soft contrast, a distinct tint each.
    "afterglow": look(dict(black=18, white=255, lift=40, contrast=-0.05), r=(22, 18, 2), g=(6, 8, -8), b=(-8, -16, -14)),
    "alice in wonderland": look(dict(black=16, white=255, lift=30, contrast=-0.1), r=(12, 12, 4), g=(-6, -14, 2), b=(18, 16, 8)),
    "cold desert": look(dict(black=6, white=255, lift=30, contrast=0.1), r=(-20, -10, -8), g=(2, -6, 0), b=(24, 12, 14)),
    "good luck charm": look(dict(black=16, white=255, lift=32, contrast=-0.05), r=(-12, -12, -6), g=(14, 14, 4), b=(2, 4, -2)),
    "left hand blues": look(dict(black=22, white=254, lift=36, contrast=-0.15), r=(-14, -10, -2), g=(-6, 2, -10), b=(28, 26, 10)),
    "lullabye": look(dict(black=26, white=255, lift=38, contrast=-0.1), r=(14, 22, 6), g=(0, -4, 6), b=(20, 8, 6)),
    "ragdoll": look(dict(black=6, white=249, lift=38, contrast=0.05), r=(6, 10, 0), g=(8, 6, 4), b=(-10, -20, -14)),
    "rivers and rain": look(dict(black=24, white=242, lift=24, contrast=-0.15), r=(-10, -8, -6), g=(6, 0, -6), b=(10, 10, -2)),
    "set you free": look(dict(black=8, white=255, lift=48, contrast=0.2), r=(0, 2, 8), g=(-2, 2, 2), b=(4, 0, 0)),
  },
  "WARM": {
    # warm -- red up, blue down, each in its own way.
    "august march": look(dict(black=6, white=252, lift=8, contrast=0.1), r=(16, 18, 8), g=(8, 18, 4), b=(-18, -36, -18)),
    "aurora": look(dict(black=8, white=252, lift=20, contrast=0.1), r=(-4, 14, 18), g=(-2, 10, 0), b=(14, -6, -26)),
    "blood orange": look(dict(black=2, white=255, lift=-4, contrast=0.35), r=(12, 34, 10), g=(0, 0, -6), b=(-16, -30, -22)),
    "carousel": look(dict(black=22, white=242, lift=10, contrast=-0.05), r=(18, 22, 6), g=(8, 8, -6), b=(-12, -26, -28)),
    "pistol": look(dict(black=0, white=255, lift=-10, contrast=0.5), r=(6, 16, 12), g=(-2, 6, 4), b=(-14, -22, -14)),
    "rose thorns two": look(dict(black=8, white=254, lift=8, contrast=0.15), r=(16, 24, 10), g=(-4, -6, -4), b=(-4, -12, -10)),
    "twin lungs": look(dict(black=20, white=254, lift=16, contrast=0.05), r=(20, 26, 8), g=(20, 18, 4), b=(-22, -32, -36)),
    "wild at heart": look(dict(black=0, white=255, lift=10, contrast=0.4), r=(0, 34, 20), g=(2, 12, 8), b=(-20, -32, -14)),
  },
  "MAGENTA": {
    # a magenta or rose cast -- red and blue up, green down; rose, magenta or violet.
    "ambers": look(dict(black=2, white=248, lift=4, contrast=-0.1), r=(12, 20, 6), g=(2, -6, 0), b=(-26, 2, -10)),
    "blue yellow field": look(dict(black=4, white=255, lift=6, contrast=0.3), r=(2, 6, 4), g=(-10, -14, -2), b=(28, 16, -18)),
    "digital film": look(dict(black=22, white=248, lift=8, contrast=0.0), r=(6, 6, 10), g=(-16, -4, -6), b=(14, 16, 16)),
    "golden hour": look(dict(black=8, white=255, lift=22, contrast=-0.05), r=(16, 30, 16), g=(0, -4, 8), b=(16, -2, -28)),
    "humming bees": look(dict(black=10, white=244, lift=-14, contrast=0.15), r=(22, 18, 6), g=(-4, -18, -6), b=(12, 20, 8)),
    "hummingbirds": look(dict(black=16, white=255, lift=36, contrast=-0.25), r=(30, 26, 4), g=(-8, -12, -2), b=(18, 4, -4)),
    "light parades": look(dict(black=16, white=255, lift=32, contrast=-0.05), r=(-8, 4, -6), g=(-4, -14, -22), b=(22, 20, 14)),
    "midnight hour": look(dict(black=0, white=234, lift=-14, contrast=0.5), r=(4, 6, 2), g=(-12, -14, -8), b=(24, 16, 8)),
    "moth wings": look(dict(black=26, white=228, lift=2, contrast=-0.15), r=(10, 8, 2), g=(-6, -12, -12), b=(12, 6, 2)),
    "old postcards 1": look(dict(black=18, white=238, lift=12, contrast=-0.2), r=(22, 36, 12), g=(-2, -10, -12), b=(-4, -2, -20)),
    "old postcards 2": look(dict(black=34, white=234, lift=10, contrast=-0.25), r=(-2, 10, -2), g=(-8, -14, -18), b=(34, 20, -2)),
    "rose thorns one": look(dict(black=8, white=254, lift=4, contrast=0.4), r=(28, 30, 12), g=(-6, -22, -4), b=(6, 12, 20)),
    "snow white": look(dict(black=20, white=255, lift=48, contrast=0.05), r=(10, 4, 12), g=(-10, -4, -8), b=(14, 24, 10)),
    "sparks": look(dict(black=0, white=253, lift=-4, contrast=0.55), r=(6, 18, 8), g=(-14, -20, -8), b=(18, 22, 10)),
    "window warmth": look(dict(black=6, white=252, lift=14, contrast=0.2), r=(22, 32, 16), g=(0, -8, -6), b=(-10, -10, -16)),
  },
  "CYAN": {
    # a cyan or teal cast -- red down, green and blue up.
    "blue poppies": look(dict(black=8, white=252, lift=12, contrast=0.15), r=(-12, -18, -8), g=(0, -2, 2), b=(22, 24, 14)),
    "cold heart": look(dict(black=10, white=244, lift=-2, contrast=0.2), r=(-18, -26, -12), g=(-4, 6, -2), b=(28, 30, 8)),
    "documentary": look(dict(black=22, white=238, lift=8, contrast=-0.05), r=(-14, -16, -8), g=(8, 10, 2), b=(12, 12, 4)),
    "electric": look(dict(black=0, white=255, lift=4, contrast=0.5), r=(-24, -18, -6), g=(8, 12, 6), b=(26, 26, 14)),
    "ghosts in your head": look(dict(black=30, white=242, lift=18, contrast=-0.15), r=(-18, -16, -10), g=(16, 12, 6), b=(18, 16, 8)),
    "green envy": look(dict(black=6, white=252, lift=8, contrast=0.2), r=(-16, -20, -10), g=(16, 20, 10), b=(2, 6, 2)),
    "kiss kiss": look(dict(black=10, white=255, lift=24, contrast=0.1), r=(-10, -16, 0), g=(6, 8, 6), b=(16, 10, 12)),
    "peacock feathers": look(dict(black=0, white=250, lift=-4, contrast=0.4), r=(-22, -30, -12), g=(14, 12, 2), b=(18, 14, 4)),
    "toes in the ocean": look(dict(black=14, white=255, lift=34, contrast=0.0), r=(-14, -18, -6), g=(12, 14, 10), b=(26, 22, 14)),
  },
}


def family_look(name):
    """The other groups: a look drawn from the family its name suggests, varied by the name."""
    h = hashlib.sha256(name.encode()).digest()
    v = lambda i, lo, hi: lo + (hi - lo) * h[i] / 255.0
    tone = dict(black=int(v(0, 0, 30)), white=int(v(1, 236, 255)), lift=int(v(2, -6, 20)), contrast=round(v(3, -0.2, 0.35), 2))
    r = [int(v(4, -8, 8)), int(v(5, -8, 8)), int(v(6, -6, 6))]
    g = [int(v(7, -8, 8)), int(v(8, -8, 8)), int(v(9, -6, 6))]
    b = [int(v(10, -8, 8)), int(v(11, -8, 8)), int(v(12, -6, 6))]
    casts = {
        "blue": ((-6, -8, -4), (0, 0, 0), (14, 12, 6)), "bluish": ((-6, -8, -4), (0, 0, 0), (14, 12, 6)),
        "green": ((-6, -8, -2), (10, 12, 4), (0, 0, 0)), "greeny": ((-6, -8, -2), (10, 12, 4), (0, 0, 0)),
        "red": ((10, 16, 6), (-4, -6, 0), (-4, -6, 0)), "reddish": ((10, 16, 6), (-4, -6, 0), (-4, -6, 0)),
        "yellow": ((6, 10, 4), (4, 8, 2), (-10, -18, -10)), "yellowish": ((6, 10, 4), (4, 8, 2), (-10, -18, -10)),
        "sunset": ((10, 16, 8), (0, 2, 0), (-8, -16, -12)), "warmth": ((8, 10, 4), (2, 2, 0), (-6, -10, -6)),
        "creamy": ((8, 6, 2), (6, 4, 0), (-4, -8, -8)), "bright": ((4, 4, 2), (4, 4, 2), (4, 4, 2)),
        "vintage": ((14, 8, 0), (6, 4, -4), (-10, -14, -18)), "cross": ((-10, 6, 12), (8, -4, 4), (14, -10, -18)),
    }
    words = name.split()
    for word in words:
        if word in casts:
            cr, cg, cb = casts[word]
            r = [a + c for a, c in zip(r, cr)]
            g = [a + c for a, c in zip(g, cg)]
            b = [a + c for a, c in zip(b, cb)]
    if "bright" in words or "people" in words or "portrait" in words:
        tone["black"], tone["lift"], tone["contrast"] = max(tone["black"], 16), max(tone["lift"], 14), min(tone["contrast"], 0.05)
    if "dark" in words or "black" in words:
        tone["black"], tone["lift"], tone["contrast"] = 0, -8, max(tone["contrast"], 0.3)
    if "old" in words or "vintage" in words or "1977" in words:
        tone["black"], tone["white"] = max(tone["black"], 30), min(tone["white"], 238)
    return look(tone, tuple(r), tuple(g), tuple(b))


OTHER_NAMES = [
    "country", "fresh blue 1", "trains", "fogy blue", "fresh blue 2",
    "1977", "hudson", "vignette", "amaro", "may fair", "x pro 2", "black and white", "nashville", "early bird",
    "valencia",
    "agfa 1", "kodak 4", "agfa 2", "kodak 5", "burning sunset 1", "kodak 6", "burning sunset 2", "mine", "cross 1",
    "neat", "cross 2", "old fashioned vintage", "cross 3", "people 1", "cross 4", "people 2", "dark fall", "people 3",
    "fdi 1", "people bright", "fdi 2", "portrait", "fdi 3", "positive 1", "fdi 4", "positive 2", "fdi 5",
    "positive 3", "fdi 6", "positive 4", "fdi 7", "positive 5", "fdi 8", "red tone", "fdi 9", "rh 1", "film 1",
    "rh 2", "film 2", "rh 3", "film 3", "rh 4", "film 4", "rh 5", "film color cross", "slr", "film green",
    "squeezing taste", "film red", "style bluish", "film wide range", "style bright", "filmnara", "style creamy",
    "flower 1", "style greeny", "flower 2", "style reddish", "hey blue", "style yellowish", "hey green",
    "sunset 1", "hey red", "sunset red", "hey yellow", "the bard 1", "kodak 1", "the bard 2", "kodak 2",
    "yellow tone", "kodak 3",
]


# --- The check: the reader's lookup and cube, applied to the contact sheet's scene. ---

def spline_samples(points):
    """The natural cubic spline through points sorted by input, sampled at every whole input."""
    n = len(points)
    m = [[0.0, 1.0, 0.0] for _ in range(n)]
    r = [0.0] * n
    for i in range(1, n - 1):
        (ax, ay), (bx, by), (cx, cy) = points[i - 1], points[i], points[i + 1]
        m[i] = [(bx - ax) / 6, (cx - ax) / 3, (cx - bx) / 6]
        r[i] = (cy - by) / (cx - bx) - (by - ay) / (bx - ax)
    for i in range(1, n):
        k = -m[i][0] / m[i - 1][1]
        m[i][1] += k * m[i - 1][2]
        m[i][0] = 0
        r[i] += k * r[i - 1]
    for i in range(n - 2, -1, -1):
        k = -m[i][2] / m[i + 1][1]
        m[i][1] += k * m[i + 1][0]
        m[i][2] = 0
        r[i] += k * r[i + 1]
    y2 = [r[i] / m[i][1] for i in range(n)]
    out = []
    for k in range(n - 1):
        (ax, ay), (bx, by) = points[k], points[k + 1]
        h = bx - ax
        for x in range(int(ax), int(bx)):
            t = (x - ax) / h
            s = 1 - t
            y = s * ay + t * by + (h * h / 6) * ((s ** 3 - s) * y2[k] + (t ** 3 - t) * y2[k + 1])
            out.append(clamp(y, 0.0, 255.0))
    out.append(points[-1][1])
    return out


def lookup(curves):
    """The 256-entry (red, green, blue) table in 0..1 a look's file gives, as the reader makes it."""
    samples = [spline_samples(sorted(c)) for c in curves]
    table = []
    for i in range(256):
        row = []
        for c in range(3):
            v = int(clamp(samples[c + 1][i]))
            row.append(int(clamp(samples[0][v])) / 255.0)
        table.append(row)
    return table


def cube_channel(table, c, value):
    """One channel of the 20-point cube made from the table, sampled linearly at value in 0..1."""
    pos = min(max(value, 0.0), 1.0) * (CUBE_DIMENSION - 1)
    k = min(int(pos), CUBE_DIMENSION - 2)
    f = pos - k
    a = table[int(k / 19.0 * 255.0)][c]
    b = table[int((k + 1) / 19.0 * 255.0)][c]
    return a + (b - a) * f


def _hash(x, y):
    h = (x * 374761393 + y * 668265263) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0


def _noise(x, y):
    xi, yi = math.floor(x), math.floor(y)
    fx, fy = x - xi, y - yi
    a, b, c, d = _hash(xi, yi), _hash(xi + 1, yi), _hash(xi, yi + 1), _hash(xi + 1, yi + 1)
    u, v = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    return a + (b - a) * u + (c - a) * v + (a - b - c + d) * u * v


def _mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def _scene_pixel(u, v):
    """The contact sheet's scene (tools/contact_sheet/synthetic_scene.cpp), one pixel in 0..1."""
    c = _mix((0.20, 0.42, 0.78), (0.78, 0.86, 0.92), (v / 0.5) ** 1.3)
    sun = math.exp(-((u - 0.78) ** 2 + (v - 0.18) ** 2) * 60)
    c = _mix(c, (1.0, 0.93, 0.78), min(1.0, sun * 1.2))
    ridge = 0.48 + 0.05 * math.sin(u * 7.0) + 0.03 * math.sin(u * 17.0 + 1.0)
    if v > ridge:
        n = _noise(u * 60, v * 60) * 0.6 + _noise(u * 180, v * 180) * 0.4
        c = _mix((0.10, 0.26, 0.08), (0.45, 0.62, 0.22), clamp(n * 0.9 + (v - ridge) * 0.6, 0.0, 1.0))
    if v > 0.78:
        c = _mix((0.52, 0.40, 0.28), (0.36, 0.27, 0.20), (v - 0.78) / 0.22 + 0.1 * _noise(u * 90, v * 90))
    fx, fy = (u - 0.28) / 0.11, (v - 0.50) / 0.17
    r2 = fx * fx + fy * fy
    if r2 < 1.0:
        shade = 0.75 + 0.25 * (1 - r2) - 0.12 * fx
        c = (0.93 * shade, 0.72 * shade, 0.60 * shade)
        if ((u - 0.28) / 0.05) ** 2 + ((v - 0.60) / 0.018) ** 2 < 1:
            c = (0.72, 0.36, 0.36)
    skins = [(0.96, 0.82, 0.72), (0.88, 0.68, 0.55), (0.74, 0.52, 0.38), (0.52, 0.34, 0.24), (0.34, 0.22, 0.16)]
    if 0.70 < v < 0.78 and 0.45 < u < 0.95:
        c = skins[min(4, int((u - 0.45) / 0.1))]
    if v > 0.93:
        g = math.floor(u * 11) / 10.0
        c = (g, g, g)
    swatches = [(0.85, 0.12, 0.10), (0.95, 0.82, 0.15), (0.10, 0.70, 0.80), (0.78, 0.20, 0.65)]
    if 0.04 < v < 0.12 and 0.03 < u < 0.35:
        c = swatches[min(3, int((u - 0.03) / 0.08))]
    return tuple(round(clamp(x, 0.0, 1.0) * 255) / 255.0 for x in c)


def scene_colours():
    """The scene's distinct colours with how often each occurs."""
    counts = {}
    for y in range(SCENE_HEIGHT):
        for x in range(SCENE_WIDTH):
            p = _scene_pixel((x + 0.5) / SCENE_WIDTH, (y + 0.5) / SCENE_HEIGHT)
            counts[p] = counts.get(p, 0) + 1
    return counts


def rendered(curves, colours):
    table = lookup(curves)
    return [tuple(cube_channel(table, c, p[c]) * 255 for c in range(3)) for p in colours]


def rms(a, b, weights):
    total = sum(weights)
    s = sum(w * sum((x - y) ** 2 for x, y in zip(p, q)) for p, q, w in zip(a, b, weights))
    return math.sqrt(s / (3 * total))


def too_close_pairs(looks, minimum=MIN_MENU_RMS + MODEL_MARGIN):
    """(menu, first, second, rms) for every pair of looks in one menu closer than minimum."""
    counts = scene_colours()
    colours, weights = list(counts), list(counts.values())
    out = []
    for menu, menu_looks in MENUS.items():
        names = sorted(menu_looks)
        images = {name: rendered(looks[name], colours) for name in names}
        for i, a in enumerate(names):
            for b in names[i + 1:]:
                d = rms(images[a], images[b], weights)
                if d < minimum:
                    out.append((menu, a, b, d))
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources")
    os.makedirs(out_dir, exist_ok=True)
    looks = {name: curves for menu in MENUS.values() for name, curves in menu.items()}
    for name in OTHER_NAMES:
        looks[name] = family_look(name)
    close = too_close_pairs(looks)
    for menu, a, b, d in close:
        print("%s: \"%s\" and \"%s\" differ by %.1f levels RMS (at least %.0f needed)"
              % (menu, a, b, d, MIN_MENU_RMS + MODEL_MARGIN), file=sys.stderr)
    if close:
        sys.exit("no curve files written: looks of one menu are too close")
    for name, curves in sorted(looks.items()):
        with open(os.path.join(out_dir, name + ".acv"), "wb") as f:
            f.write(encode(curves))
    print("wrote %d curve files to %s" % (len(looks), os.path.normpath(out_dir)))


if __name__ == "__main__":
    main()
