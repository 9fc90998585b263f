#!/usr/bin/env python3
"""Draws Korva's bundle images (logo, shutter buttons, the camera screen's filter, menu, swap and
manual-control buttons, the form kit's keyboard-bar arrows, the crop rectangle's border) as PNG
files into resources/.

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


def swap_icon():
    """Two arrows chasing each other round a circle."""
    white = (1, 1, 1, 1)

    def shade(x, y):
        d = math.hypot(x - 0.5, y - 0.5)
        ang = math.atan2(y - 0.5, x - 0.5)
        arc = abs(d - 0.3) <= 0.035 and (0.25 < ang < 2.9 or -2.9 < ang < -0.25)
        if arc:
            return white
        for tx, ty, sgn in ((0.8, 0.5, 1), (0.2, 0.5, -1)):
            u, v = (x - tx) * sgn, (y - ty) * sgn
            if -0.02 <= v <= 0.14 and abs(u) <= (0.14 - v) * 0.8 + 0.001 and v >= -0.02:
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


def write_form_bundle(root):
    folder = os.path.join(root, "FormTableViewManager.bundle")
    os.makedirs(folder, exist_ok=True)
    for scale, suffix in ((1, ""), (2, "@2x")):
        for name, shade in (("UIButtonBarArrowLeft", arrow(True)), ("UIButtonBarArrowRight", arrow(False))):
            size = 22 * scale
            write_png(os.path.join(folder, name + suffix + ".png"), size, size, render(size, shade))
        write_png(os.path.join(folder, "Transparent" + suffix + ".png"), scale, scale, render(scale, clear))
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
        "swap.png": (90, swap_icon()),
        "manual0.png": (90, manual_icon(False)),
        "manual1.png": (90, manual_icon(True)),
    }
    for name, (size, shade) in images.items():
        write_png(os.path.join(root, name), size, size, render(size, shade))
        print("wrote", name)
    write_form_bundle(root)
    write_crop_bundle(root)


if __name__ == "__main__":
    main()
