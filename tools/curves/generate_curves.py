#!/usr/bin/env python3
"""Writes the tone-curve files ("<name>.acv") of the colour looks into the bundle folder.

Each look is designed from a few parameters:
  tone  -- the composite curve: black level, white level, midtone lift, contrast (S-curve)
  r/g/b -- per-channel shifts in 0..255 units at shadows, midtones and highlights

File format: big-endian u16 version (4), curve count (4), then per curve a point count and
(output, input) pairs; curve 0 is the composite, curves 1..3 red, green and blue.

Usage: generate_curves.py [OUTPUT_FOLDER]   (default: the resources folder of the tree)
"""
import hashlib
import math
import os
import struct
import sys

INPUTS = (0, 48, 96, 128, 160, 208, 255)


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
MENU_LOOKS = {
    # BRIGHT: airy and bright -- lifted mids, a touch of matte, soft contrast, a distinct tint each.
    "afterglow": look(dict(black=14, white=255, lift=36, contrast=-0.05), r=(14, 18, 6), g=(6, 6, 0), b=(-4, -14, -16)),
    "alice in wonderland": look(dict(black=16, white=255, lift=32, contrast=-0.1), r=(12, 12, 4), g=(-2, -8, -2), b=(20, 18, 8)),
    "cold desert": look(dict(black=10, white=255, lift=34, contrast=0.05), r=(-8, -10, -6), g=(2, 2, 0), b=(18, 16, 10)),
    "good luck charm": look(dict(black=14, white=255, lift=32, contrast=-0.05), r=(-10, -10, -2), g=(14, 14, 6), b=(4, 4, 0)),
    "left hand blues": look(dict(black=18, white=252, lift=30, contrast=-0.1), r=(-10, -12, -6), g=(-2, -2, 0), b=(24, 20, 8)),
    "lullabye": look(dict(black=22, white=255, lift=38, contrast=-0.15), r=(16, 14, 6), g=(0, -4, 0), b=(10, 8, 4)),
    "ragdoll": look(dict(black=12, white=255, lift=40, contrast=0.05), r=(12, 10, 4), g=(10, 8, 2), b=(-8, -12, -14)),
    "rivers and rain": look(dict(black=28, white=246, lift=26, contrast=-0.2), r=(-10, -10, -4), g=(6, 6, 2), b=(10, 10, 4)),
    "set you free": look(dict(black=6, white=255, lift=48, contrast=0.1), r=(2, 2, 0), g=(2, 2, 0), b=(0, 0, 0)),
    # WARM: warm -- red up, blue down, each in its own way.
    "august march": look(dict(black=6, white=252, lift=12, contrast=0.15), r=(10, 18, 8), g=(6, 10, 4), b=(-14, -28, -20)),
    "aurora": look(dict(black=8, white=252, lift=16, contrast=0.05), r=(-4, 16, 18), g=(8, 4, 0), b=(10, -12, -26)),
    "blood orange": look(dict(black=2, white=255, lift=0, contrast=0.35), r=(14, 30, 14), g=(0, 0, -6), b=(-18, -30, -20)),
    "carousel": look(dict(black=22, white=242, lift=14, contrast=-0.1), r=(18, 22, 8), g=(8, 8, -2), b=(-12, -24, -28)),
    "pistol": look(dict(black=0, white=255, lift=-10, contrast=0.5), r=(6, 16, 10), g=(-2, 6, 4), b=(-14, -20, -14)),
    "rose thorns two": look(dict(black=8, white=252, lift=10, contrast=0.15), r=(16, 24, 10), g=(-4, -6, -4), b=(-4, -12, -10)),
    "twin lungs": look(dict(black=18, white=248, lift=16, contrast=0.0), r=(22, 18, 8), g=(12, 12, 4), b=(-18, -30, -34)),
    "wild at heart": look(dict(black=4, white=255, lift=6, contrast=0.3), r=(8, 26, 16), g=(4, 14, 4), b=(-20, -32, -24)),
    # MAGENTA: a magenta or rose cast -- red and blue up, green down; rose, magenta or violet.
    "ambers": look(dict(black=8, white=252, lift=10, contrast=0.15), r=(14, 20, 10), g=(-6, -14, -6), b=(0, 2, -6)),
    "blue yellow field": look(dict(black=4, white=255, lift=4, contrast=0.3), r=(6, 10, 8), g=(-8, -14, 0), b=(22, 12, -16)),
    "digital film": look(dict(black=28, white=244, lift=8, contrast=-0.15), r=(8, 8, 4), g=(-10, -12, -6), b=(14, 12, 6)),
    "golden hour": look(dict(black=8, white=255, lift=22, contrast=0.05), r=(16, 20, 12), g=(-2, -10, 2), b=(6, 0, -12)),
    "humming bees": look(dict(black=2, white=248, lift=-10, contrast=0.3), r=(12, 14, 6), g=(-10, -18, -8), b=(14, 14, 6)),
    "hummingbirds": look(dict(black=14, white=255, lift=32, contrast=-0.05), r=(18, 18, 8), g=(-6, -10, -2), b=(14, 12, 6)),
    "light parades": look(dict(black=18, white=255, lift=30, contrast=-0.1), r=(8, 8, 2), g=(-6, -14, -6), b=(20, 18, 10)),
    "midnight hour": look(dict(black=4, white=238, lift=-12, contrast=0.25), r=(10, 8, 2), g=(-8, -12, -8), b=(24, 20, 8)),
    "moth wings": look(dict(black=32, white=232, lift=6, contrast=-0.2), r=(10, 8, 4), g=(-8, -10, -6), b=(12, 8, 4)),
    "old postcards 1": look(dict(black=26, white=238, lift=12, contrast=-0.05), r=(18, 16, 8), g=(-2, -8, -6), b=(6, -2, -12)),
    "old postcards 2": look(dict(black=30, white=234, lift=6, contrast=-0.15), r=(8, 10, 4), g=(-8, -12, -10), b=(20, 12, 2)),
    "rose thorns one": look(dict(black=6, white=252, lift=8, contrast=0.25), r=(22, 26, 10), g=(-8, -16, -8), b=(10, 8, 4)),
    "snow white": look(dict(black=14, white=255, lift=42, contrast=-0.05), r=(10, 10, 4), g=(-6, -10, -2), b=(10, 10, 8)),
    "sparks": look(dict(black=0, white=255, lift=-4, contrast=0.5), r=(12, 18, 8), g=(-14, -20, -6), b=(18, 22, 12)),
    "window warmth": look(dict(black=10, white=252, lift=18, contrast=0.1), r=(18, 24, 14), g=(-4, -10, -2), b=(2, -4, -10)),
    # CYAN: a cyan or teal cast -- red down, green and blue up.
    "blue poppies": look(dict(black=6, white=252, lift=10, contrast=0.15), r=(-12, -18, -8), g=(0, 2, 0), b=(22, 22, 12)),
    "cold heart": look(dict(black=4, white=248, lift=0, contrast=0.3), r=(-18, -24, -12), g=(4, 8, 4), b=(18, 24, 14)),
    "documentary": look(dict(black=22, white=238, lift=8, contrast=-0.05), r=(-14, -16, -8), g=(8, 8, 2), b=(12, 12, 4)),
    "electric": look(dict(black=0, white=255, lift=2, contrast=0.45), r=(-20, -22, -8), g=(8, 10, 4), b=(26, 26, 12)),
    "ghosts in your head": look(dict(black=30, white=242, lift=18, contrast=-0.15), r=(-18, -20, -10), g=(12, 12, 4), b=(18, 16, 8)),
    "green envy": look(dict(black=6, white=252, lift=8, contrast=0.2), r=(-16, -20, -10), g=(16, 20, 10), b=(2, 6, 2)),
    "kiss kiss": look(dict(black=10, white=255, lift=26, contrast=0.0), r=(-8, -16, -4), g=(8, 10, 6), b=(16, 18, 12)),
    "peacock feathers": look(dict(black=2, white=250, lift=-4, contrast=0.35), r=(-22, -26, -12), g=(14, 18, 6), b=(18, 14, 6)),
    "toes in the ocean": look(dict(black=14, white=255, lift=34, contrast=0.0), r=(-14, -18, -8), g=(12, 14, 8), b=(18, 20, 12)),
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


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources")
    os.makedirs(out_dir, exist_ok=True)
    looks = dict(MENU_LOOKS)
    for name in OTHER_NAMES:
        looks[name] = family_look(name)
    for name, curves in sorted(looks.items()):
        with open(os.path.join(out_dir, name + ".acv"), "wb") as f:
            f.write(encode(curves))
    print("wrote %d curve files to %s" % (len(looks), os.path.normpath(out_dir)))


if __name__ == "__main__":
    main()
