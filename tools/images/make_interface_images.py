#!/usr/bin/env python3
"""Draws Korva's bundle images (logo, shutter buttons, the camera screen's filter, menu and
manual-control buttons, the camera option icons, the form kit's keyboard-bar arrows, card pictures
and expired ribbon, the crop rectangle's border) as PNG files into resources/.

Standard library only: shapes are rasterised with 4x4 supersampling and written with zlib.
Run: python3 tools/images/make_interface_images.py [resources-folder]
"""
import math
import os
import struct
import sys
import zlib

SS = 4  # supersampling per axis


def write_png(path, width, height, rgba):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        raw.extend(rgba[y * width * 4:(y + 1) * width * 4])

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def render(size, shade):
    """shade(x, y) -> (r, g, b, a) in 0..1 at a point in 0..1 coordinates, or None for clear."""
    out = bytearray(size * size * 4)
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = (px + (sx + 0.5) / SS) / size
                    y = (py + (sy + 0.5) / SS) / size
                    c = shade(x, y)
                    if c:
                        r, g, b, a = c
                        acc[0] += r * a
                        acc[1] += g * a
                        acc[2] += b * a
                        acc[3] += a
            n = SS * SS
            a = acc[3] / n
            i = (py * size + px) * 4
            if a > 0:
                out[i:i + 4] = bytes(round(min(1, v / acc[3]) * 255) for v in acc[:3]) + bytes([round(a * 255)])
    return out


def over(top, bottom):
    if not top:
        return bottom
    if not bottom:
        return top
    ta, ba = top[3], bottom[3]
    a = ta + ba * (1 - ta)
    if a == 0:
        return None
    return tuple((top[i] * ta + bottom[i] * ba * (1 - ta)) / a for i in range(3)) + (a,)


def ring(x, y, r_out, r_in, colour):
    d = math.hypot(x - 0.5, y - 0.5)
    return colour if r_in <= d <= r_out else None


def disc(x, y, cx, cy, r, colour):
    return colour if math.hypot(x - cx, y - cy) <= r else None


def shutter(kind):
    white = (1, 1, 1, 1)

    def shade(x, y):
        c = ring(x, y, 0.48, 0.42, white)
        inner = None
        if kind == "general":
            inner = disc(x, y, 0.5, 0.5, 0.36, (1, 1, 1, 0.95))
        elif kind == "burst":
            inner = disc(x, y, 0.5, 0.5, 0.36, (1, 1, 1, 0.95))
            for cx in (0.36, 0.5, 0.64):
                dot = disc(x, y, cx, 0.5, 0.045, (0.15, 0.15, 0.15, 1))
                inner = over(dot, inner)
        elif kind == "motion":
            inner = disc(x, y, 0.5, 0.5, 0.36, (1, 1, 1, 0.95))
            # a play triangle
            if 0.42 <= x <= 0.64 and abs(y - 0.5) <= (0.64 - x) * 0.6:
                inner = over((0.15, 0.15, 0.15, 1), inner)
        elif kind == "video":
            inner = disc(x, y, 0.5, 0.5, 0.36, (0.9, 0.16, 0.2, 1))
        return over(c, inner)

    return shade


def logo(variant):
    top = (0.16, 0.18, 0.24) if variant == 0 else (0.95, 0.96, 0.98)
    bottom = (0.06, 0.07, 0.1) if variant == 0 else (0.82, 0.85, 0.9)

    def shade(x, y):
        # rounded square background
        r = 0.2
        qx, qy = max(abs(x - 0.5) - (0.5 - r), 0), max(abs(y - 0.5) - (0.5 - r), 0)
        if math.hypot(qx, qy) > r:
            return None
        bg = tuple(top[i] + (bottom[i] - top[i]) * y for i in range(3)) + (1,)
        d = math.hypot(x - 0.5, y - 0.5)
        # lens: a coloured ring of warm to cool hues around a dark pupil
        if 0.2 <= d <= 0.34:
            ang = (math.atan2(y - 0.5, x - 0.5) + math.pi) / (2 * math.pi)
            hue = (0.95, 0.55 + 0.3 * math.sin(ang * 2 * math.pi), 0.35 + 0.5 * ang)
            return over(hue + (1,), bg)
        if d < 0.2:
            glint = disc(x, y, 0.44, 0.44, 0.05, (1, 1, 1, 0.85))
            return over(glint, (0.05, 0.06, 0.09, 1))
        return bg

    return shade


def arrow(pointing_left):
    """A thin chevron for the keyboard bar's Previous and Next segments."""
    colour = (0.0, 0.48, 1.0, 1)

    def shade(x, y):
        u = 1 - x if pointing_left else x
        # two strokes meeting at the tip on the right (mirrored for left)
        tip = 0.68
        d = abs(y - 0.5)
        if not (0.2 <= y <= 0.8):
            return None
        centre = tip - d * 0.9
        return colour if abs(u - centre) <= 0.07 else None

    return shade


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def filter_icon():
    """Three overlapping rings, the colours of a filter mixing light."""
    white = (1, 1, 1, 1)

    def shade(x, y):
        c = None
        for cx, cy in ((0.5, 0.36), (0.36, 0.6), (0.64, 0.6)):
            c = over(c, white if abs(math.hypot(x - cx, y - cy) - 0.22) <= 0.035 else None)
        return c

    return shade


def menu_icon():
    """Three rounded bars."""
    white = (1, 1, 1, 1)

    def shade(x, y):
        for cy in (0.3, 0.5, 0.7):
            if segment_distance(x, y, 0.25, cy, 0.75, cy) <= 0.04:
                return white
        return None

    return shade


def manual_icon(on):
    """Three slider tracks with their knobs; orange when manual control is on."""
    colour = (1.0, 0.58, 0.0, 1) if on else (1, 1, 1, 1)

    def shade(x, y):
        for cx, ky in ((0.28, 0.35), (0.5, 0.65), (0.72, 0.45)):
            if disc(x, y, cx, ky, 0.085, colour):
                return colour
            if segment_distance(x, y, cx, 0.15, cx, 0.85) <= 0.025:
                return colour
        return None

    return shade


def clear(x, y):
    return None


def inside(x, y, polygon):
    """Even-odd point-in-polygon test."""
    hit = False
    n = len(polygon)
    for i in range(n):
        (x1, y1), (x2, y2) = polygon[i], polygon[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit


def rounded_box(x, y, x0, y0, x1, y1, r):
    qx = max(x0 + r - x, 0, x - (x1 - r))
    qy = max(y0 + r - y, 0, y - (y1 - r))
    return x0 <= x <= x1 and y0 <= y <= y1 and math.hypot(qx, qy) <= r


WHITE = (1, 1, 1, 1)


def option_icon(kind):
    """White glyphs on clear for the camera option buttons (shown in a 20-point box)."""

    def shade(x, y):
        if kind == "flash":
            bolt = [(0.58, 0.06), (0.22, 0.56), (0.47, 0.56), (0.38, 0.94), (0.78, 0.40), (0.53, 0.40), (0.66, 0.06)]
            return WHITE if inside(x, y, bolt) else None
        if kind == "swap":
            d = math.hypot(x - 0.5, y - 0.5)
            ang = math.degrees(math.atan2(y - 0.5, x - 0.5)) % 360
            arc = 0.28 <= d <= 0.36 and not (150 <= ang <= 190 or 330 <= ang or ang <= 10)
            head_top = inside(x, y, [(0.92, 0.38), (0.68, 0.38), (0.80, 0.56)])
            head_bottom = inside(x, y, [(0.08, 0.62), (0.32, 0.62), (0.20, 0.44)])
            return WHITE if arc or head_top or head_bottom else None
        if kind == "photo":
            body = rounded_box(x, y, 0.08, 0.28, 0.92, 0.84, 0.08)
            hump = inside(x, y, [(0.34, 0.28), (0.40, 0.16), (0.60, 0.16), (0.66, 0.28)])
            d = math.hypot(x - 0.5, y - 0.56)
            if d <= 0.13:
                return WHITE
            if d <= 0.2:
                return None
            return WHITE if body or hump else None
        if kind == "burst":
            for i, off in enumerate((0.0, 0.12, 0.24)):
                x0, y0 = 0.08 + off, 0.40 - off
                inner = rounded_box(x, y, x0 + 0.06, y0 + 0.06, x0 + 0.56, y0 + 0.46, 0.03)
                outer = rounded_box(x, y, x0, y0, x0 + 0.62, y0 + 0.52, 0.06)
                if outer and (not inner or i == 0):
                    return WHITE
            return None
        if kind == "motion":
            d = math.hypot(x - 0.5, y - 0.5)
            if 0.38 <= d <= 0.45:
                return WHITE
            return WHITE if inside(x, y, [(0.40, 0.30), (0.40, 0.70), (0.70, 0.50)]) else None
        if kind == "video":
            body = rounded_box(x, y, 0.06, 0.26, 0.66, 0.74, 0.08)
            lens = inside(x, y, [(0.70, 0.42), (0.94, 0.28), (0.94, 0.72), (0.70, 0.58)])
            return WHITE if body or lens else None
def rounded_rect(x, y, left, top, right, bottom, r):
    """Whether the point lies in the rectangle with rounded corners of radius r."""
    if not (left <= x <= right and top <= y <= bottom):
        return False
    qx = max(left + r - x, x - (right - r), 0)
    qy = max(top + r - y, y - (bottom - r), 0)
    return math.hypot(qx, qy) <= r


# Card faces: a card's proportions (1.586 : 1) centred in the square picture.
CARD = (0.03, 0.2, 0.97, 0.8)
CARD_COLOURS = {
    "Card_Visa": ((0.13, 0.27, 0.62), 1),
    "Card_Mastercard": ((0.86, 0.3, 0.16), 2),
    "Card_Amex": ((0.1, 0.55, 0.6), 3),
    "Card_Discover": ((0.93, 0.58, 0.12), 4),
}


def card_face(colour, marks, card=CARD):
    """A plain card in its own colour with a gold chip, a row of digit dashes and `marks` small
    white bars at the lower right that tell the kinds apart without any maker's logo."""
    left, top, right, bottom = card
    w, h = right - left, bottom - top

    def shade(x, y):
        if not rounded_rect(x, y, left, top, right, bottom, 0.06):
            return None
        u, v = (x - left) / w, (y - top) / h
        shade_top = 1.12 - 0.24 * v
        base = tuple(min(1, c * shade_top) for c in colour) + (1,)
        if 0.1 <= u <= 0.3 and 0.22 <= v <= 0.45:
            return (0.92, 0.78, 0.36, 1)
        if 0.58 <= v <= 0.66 and 0.1 <= u <= 0.9 and (u * 10) % 2.5 < 2.0:
            return (1, 1, 1, 0.85)
        for i in range(marks):
            mx = 0.86 - i * 0.09
            if mx - 0.035 <= u <= mx and 0.74 <= v <= 0.88:
                return (1, 1, 1, 0.95)
        return base

    return shade


def card_stack():
    back_card = card_face((0.62, 0.64, 0.68), 0, (0.1, 0.12, 0.97, 0.7))
    front_card = card_face((0.45, 0.47, 0.52), 0, (0.03, 0.27, 0.9, 0.86))

    def shade(x, y):
        return over(front_card(x, y), back_card(x, y))

    return shade


def card_back():
    left, top, right, bottom = CARD
    h = bottom - top

    def shade(x, y):
        if not rounded_rect(x, y, left, top, right, bottom, 0.06):
            return None
        v = (y - top) / h
        if 0.14 <= v <= 0.34:
            return (0.08, 0.08, 0.1, 1)
        if 0.46 <= v <= 0.62 and left + 0.08 <= x <= right - 0.3:
            return (0.97, 0.97, 0.95, 1)
        if 0.46 <= v <= 0.62 and right - 0.26 <= x <= right - 0.08:
            return (1, 1, 1, 1) if (x * 40) % 2 < 1.2 else (0.85, 0.2, 0.2, 1)
        return (0.55, 0.57, 0.62, 1)

    return shade


def ribbon_expired():
    """A red band across the top right corner, with darker edges and a white centre line."""

    def shade(x, y):
        # distance along the diagonal from the top right corner
        d = (1 - x) + y
        if 0.42 <= d <= 0.78:
            edge = d < 0.46 or d > 0.74
            if edge:
                return (0.6, 0.05, 0.08, 1)
            if abs(d - 0.6) < 0.025 and 0.1 < x < 0.9 and y < 0.9:
                return (1, 1, 1, 0.9)
            return (0.86, 0.12, 0.15, 1)
        return None

    return shade


def write_form_bundle(root):
    folder = os.path.join(root, "FormTableViewManager.bundle")
    os.makedirs(folder, exist_ok=True)
    for scale, suffix in ((1, ""), (2, "@2x")):
        for name, shade in (("UIButtonBarArrowLeft", arrow(True)), ("UIButtonBarArrowRight", arrow(False))):
            size = 22 * scale
            write_png(os.path.join(folder, name + suffix + ".png"), size, size, render(size, shade))
        write_png(os.path.join(folder, "Transparent" + suffix + ".png"), scale, scale, render(scale, clear))
        cards = dict((name, card_face(colour, marks)) for name, (colour, marks) in CARD_COLOURS.items())
        cards["Card_Stack"] = card_stack()
        cards["Card_Back"] = card_back()
        for name, shade in cards.items():
            size = 32 * scale
            write_png(os.path.join(folder, name + suffix + ".png"), size, size, render(size, shade))
        size = 44 * scale
        write_png(os.path.join(folder, "Ribbon_Expired" + suffix + ".png"), size, size, render(size, ribbon_expired()))
    print("wrote FormTableViewManager.bundle")


 
def crop_border(x, y):
    """The crop rectangle's border on a 50-point square whose 23-point caps stay unscaled: a thin
    frame on the rectangle's edge (2 points in, the view reaching 2 points outside it) and thick
    corner brackets 20 points long."""
    p = x * 50.0
    q = y * 50.0
    edge = 2.0
    line = (abs(p - edge - 0.5) <= 0.5 or abs(p - (50 - edge) + 0.5) <= 0.5) and edge <= q <= 50 - edge
    line = line or ((abs(q - edge - 0.5) <= 0.5 or abs(q - (50 - edge) + 0.5) <= 0.5) and edge <= p <= 50 - edge)
    near_x = p <= edge + 20 or p >= 50 - edge - 20
    near_y = q <= edge + 20 or q >= 50 - edge - 20
    bracket_v = (0 <= p <= edge + 1 or 50 - edge - 1 <= p <= 50) and near_y
    bracket_h = (0 <= q <= edge + 1 or 50 - edge - 1 <= q <= 50) and near_x
    if bracket_v or bracket_h:
        return (1.0, 1.0, 1.0, 1.0)
    if line:
        return (1.0, 1.0, 1.0, 0.8)
    return None


CROP_TEXTS = ["Cancel", "Done", "Constrain", "Original", "Square", "3 x 2", "3 x 5", "4 x 3", "4 x 6",
              "5 x 7", "8 x 10", "16 x 9"]


def write_crop_bundle(root):
    folder = os.path.join(root, "CropEditor.bundle")
    os.makedirs(os.path.join(folder, "en.lproj"), exist_ok=True)
    for scale, suffix in ((1, ""), (2, "@2x")):
        size = 50 * scale
        write_png(os.path.join(folder, "CropEditorBorder" + suffix + ".png"), size, size, render(size, crop_border))
    with open(os.path.join(folder, "en.lproj", "Localizable.strings"), "w", encoding="utf-8") as f:
        for text in CROP_TEXTS:
            f.write('"%s" = "%s";\n' % (text, text))
    print("wrote CropEditor.bundle")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "resources")
    images = {
        "logo.png": (256, logo(0)),
        "logo0.png": (256, logo(1)),
        "shutter.png": (160, shutter("general")),
        "shutter_burst.png": (160, shutter("burst")),
        "shutter_motion.png": (160, shutter("motion")),
        "shutter_video.png": (160, shutter("video")),
        "filter.png": (90, filter_icon()),
        "menu.png": (120, menu_icon()),
        "manual0.png": (90, manual_icon(False)),
        "manual1.png": (90, manual_icon(True)),
    }
    for name, (size, shade) in images.items():
        write_png(os.path.join(root, name), size, size, render(size, shade))
        print("wrote", name)
    for kind in ("flash", "swap", "photo", "burst", "motion", "video"):
        for scale, suffix in ((1, ""), (2, "@2x"), (3, "@3x")):
            size = 20 * scale
            write_png(os.path.join(root, kind + suffix + ".png"), size, size, render(size, option_icon(kind)))
        print("wrote", kind + ".png")
    write_form_bundle(root)
    write_crop_bundle(root)


if __name__ == "__main__":
    main()
