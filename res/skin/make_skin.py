#!/usr/bin/python3
"""Draws Lumetra's default skin and writes its ini files.

Run from anywhere: /usr/bin/python3 res/skin/make_skin.py
Writes skins.ini beside this script and the two views (Full panel, Compact) with all their
images into Default/. The output is deterministic: running it again gives identical files.
Needs python3-pil and the DejaVu fonts (fonts-dejavu-core).

How the pictures fit together: every state image (Main, Over, Down, On, Blink, Disabled and the
property images) is the whole window drawn once, with every button drawn in that one state. The
program cuts each element's rectangle out of these, so all images share the same static body, and
each button only ever draws inside its own rectangle. Shapes are drawn at 4x and reduced with a
4x4 box average, which keeps every pixel outside a button's rectangle identical in all images;
small text is drawn afterwards at 1x with the font rasteriser's own antialiasing.
"""
import math
import os

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN_FOLDER = "Default"
OUT = os.path.join(HERE, SKIN_FOLDER)
FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SS = 4  # supersampling factor for shapes

# Palette.
TEAL = (0, 178, 186)
TEAL_HI = (72, 230, 222)
TEAL_DEEP = (0, 96, 104)
RED = (226, 52, 58)
RED_HI = (255, 112, 110)
AMBER = (244, 170, 46)
ICON = (214, 220, 228)
ICON_DIM = (104, 110, 120)
LABEL = (132, 141, 154)
LCD_TEXT = (150, 236, 228)

STATES = ("normal", "over", "down", "on", "blink", "disabled")


# --------------------------------------------------------------------------- fonts

_fonts = {}


def font(size, bold=True, condensed=False):
    name = "DejaVuSans"
    if condensed:
        name += "Condensed"
    name += "-Bold.ttf" if bold else ".ttf"
    key = (name, size)
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(os.path.join(FONT_DIR, name), size)
    return _fonts[key]


# --------------------------------------------------------------------------- painter

def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def mix(c, other, t):
    return lerp(c, other, t)


def with_alpha(c, a):
    return (c[0], c[1], c[2], a)


class Painter:
    """A window-sized picture: shapes on a 4x canvas, text queued for 1x."""

    def __init__(self, w, h, bg=(0, 0, 0)):
        self.w, self.h = w, h
        self.im = Image.new("RGB", (w * SS, h * SS), bg)
        self.d = ImageDraw.Draw(self.im, "RGBA")
        self.texts = []
        self.post = []

    def copy(self):
        p = Painter.__new__(Painter)
        p.w, p.h = self.w, self.h
        p.im = self.im.copy()
        p.d = ImageDraw.Draw(p.im, "RGBA")
        p.texts = list(self.texts)
        p.post = list(self.post)
        return p

    # Coordinates: 1x window pixels; boxes are (x0, y0, x1, y1) with x1, y1 exclusive.
    @staticmethod
    def B(b):
        return [round(b[0] * SS), round(b[1] * SS), round(b[2] * SS) - 1, round(b[3] * SS) - 1]

    @staticmethod
    def P(pts):
        return [(x * SS, y * SS) for x, y in pts]

    def rrect(self, b, r, fill=None, outline=None, width=1.0):
        self.d.rounded_rectangle(self.B(b), radius=r * SS, fill=fill, outline=outline,
                                 width=max(1, round(width * SS)) if outline else 0)

    def ellipse(self, b, fill=None, outline=None, width=1.0):
        self.d.ellipse(self.B(b), fill=fill, outline=outline,
                       width=max(1, round(width * SS)) if outline else 0)

    def circle(self, cx, cy, r, fill=None, outline=None, width=1.0):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), fill, outline, width)

    def poly(self, pts, fill):
        self.d.polygon(self.P(pts), fill=fill)

    def line(self, pts, fill, width=1.0, round_caps=True):
        w = max(1, round(width * SS))
        self.d.line(self.P(pts), fill=fill, width=w, joint="curve")
        if round_caps:
            for x, y in (pts[0], pts[-1]):
                r = width / 2
                self.d.ellipse(self.B((x - r, y - r, x + r, y + r)), fill=fill)

    def arc(self, b, start, end, fill, width=1.0):
        self.d.arc(self.B(b), start, end, fill=fill, width=max(1, round(width * SS)))

    def pie(self, b, start, end, fill):
        self.d.pieslice(self.B(b), start, end, fill=fill)

    def gradient(self, b, stops, r=0, mask=None):
        """Vertical gradient in box b, clipped to a rounded rect of radius r (or to mask, 4x L image)."""
        x0, y0, x1, y1 = self.B(b)
        w, h = x1 - x0 + 1, y1 - y0 + 1
        col = Image.new("RGB", (1, h))
        col.putdata([gradient_at(stops, (i + 0.5) / h) for i in range(h)])
        g = col.resize((w, h), Image.NEAREST)
        if mask is None:
            m = Image.new("L", (w, h), 0)
            ImageDraw.Draw(m).rounded_rectangle([0, 0, w - 1, h - 1], radius=r * SS, fill=255)
        else:
            m = mask.crop((x0, y0, x1 + 1, y1 + 1))
        self.im.paste(g, (x0, y0), m)

    def text(self, x, y, s, size, fill, bold=True, anchor="mm", condensed=False, tracking=0.0):
        self.texts.append((x, y, s, size, fill, bold, anchor, condensed, tracking))

    def render(self):
        small = self.im.reduce(SS)
        for fn in self.post:
            small = fn(small)
        d = ImageDraw.Draw(small, "RGBA")
        for x, y, s, size, fill, bold, anchor, condensed, tracking in self.texts:
            f = font(size, bold, condensed)
            if tracking:
                draw_tracked(d, x, y, s, f, fill, anchor, tracking)
            else:
                d.text((x, y), s, font=f, fill=fill, anchor=anchor)
        return small


def gradient_at(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return lerp(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 1.0)
    return stops[-1][1]


def draw_tracked(d, x, y, s, f, fill, anchor, tracking):
    """Text with extra letter spacing; anchor's first letter picks l/m/r, second the vertical."""
    widths = [f.getlength(ch) for ch in s]
    total = sum(widths) + tracking * (len(s) - 1)
    h = anchor[0]
    cx = x if h == "l" else (x - total / 2 if h == "m" else x - total)
    for ch, w in zip(s, widths):
        d.text((cx, y), ch, font=f, fill=fill, anchor="l" + anchor[1])
        cx += w + tracking


# --------------------------------------------------------------------------- icons
# Each icon is drawn centred on (cx, cy) within a box of about s x s pixels.

def ic_record(p, cx, cy, s, c):
    p.circle(cx, cy, s * 0.36, fill=c)


def ic_play(p, cx, cy, s, c):
    r = s * 0.40
    p.poly([(cx - r * 0.72, cy - r), (cx + r * 0.95, cy), (cx - r * 0.72, cy + r)], c)


def ic_pause(p, cx, cy, s, c):
    w, h = s * 0.20, s * 0.66
    p.rrect((cx - w * 1.6, cy - h / 2, cx - w * 0.6, cy + h / 2), s * 0.04, fill=c)
    p.rrect((cx + w * 0.6, cy - h / 2, cx + w * 1.6, cy + h / 2), s * 0.04, fill=c)


def ic_stop(p, cx, cy, s, c):
    r = s * 0.30
    p.rrect((cx - r, cy - r, cx + r, cy + r), s * 0.06, fill=c)


def ic_camera(p, cx, cy, s, c, bg):
    w, h = s * 0.92, s * 0.62
    top = cy - h / 2 + s * 0.06
    p.rrect((cx - s * 0.20, top - s * 0.14, cx + s * 0.20, top + s * 0.05), s * 0.05, fill=c)
    p.rrect((cx - w / 2, top, cx + w / 2, top + h), s * 0.12, fill=c)
    p.circle(cx, top + h * 0.52, s * 0.22, fill=bg)
    p.circle(cx, top + h * 0.52, s * 0.13, fill=c)
    p.circle(cx + w * 0.33, top + h * 0.22, s * 0.05, fill=bg)


def ic_folder(p, cx, cy, s, c, bg, badge=None, badge_col=None):
    w, h = s * 0.92, s * 0.70
    x0, y0 = cx - w / 2, cy - h / 2
    p.rrect((x0, y0, x0 + w * 0.42, y0 + h * 0.3), s * 0.06, fill=c)
    p.rrect((x0, y0 + h * 0.16, x0 + w, y0 + h), s * 0.08, fill=c)
    p.line([(x0 + s * 0.02, y0 + h * 0.34), (x0 + w - s * 0.02, y0 + h * 0.34)], bg, s * 0.05, False)
    bx, by = cx + w * 0.16, cy + h * 0.18
    if badge == "rec":
        p.circle(bx, by, s * 0.17, fill=bg)
        p.circle(bx, by, s * 0.11, fill=badge_col)
    elif badge == "photo":
        p.poly([(bx - s * 0.20, by + s * 0.12), (bx - s * 0.06, by - s * 0.08),
                (bx + s * 0.03, by + s * 0.03), (bx + s * 0.09, by - s * 0.03),
                (bx + s * 0.20, by + s * 0.12)], bg)
        p.circle(bx + s * 0.12, by - s * 0.12, s * 0.045, fill=bg)


def ic_gear(p, cx, cy, s, c, bg, teeth=8):
    ro, ri, rh = s * 0.44, s * 0.32, s * 0.14
    pts = []
    n = teeth * 4
    for i in range(n):
        a = 2 * math.pi * (i - 0.5) / n
        r = ro if (i % 4) in (0, 1) else ri
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    p.poly(pts, c)
    p.circle(cx, cy, ri * 0.98, fill=c)
    p.circle(cx, cy, rh, fill=bg)


def ic_chevron(p, cx, cy, s, c, direction):
    r = s * 0.22
    w = s * 0.14
    if direction == "left":
        pts = [(cx + r * 0.6, cy - r * 1.3), (cx - r * 0.6, cy), (cx + r * 0.6, cy + r * 1.3)]
    elif direction == "right":
        pts = [(cx - r * 0.6, cy - r * 1.3), (cx + r * 0.6, cy), (cx - r * 0.6, cy + r * 1.3)]
    elif direction == "up":
        pts = [(cx - r * 1.3, cy + r * 0.6), (cx, cy - r * 0.6), (cx + r * 1.3, cy + r * 0.6)]
    else:
        pts = [(cx - r * 1.3, cy - r * 0.6), (cx, cy + r * 0.6), (cx + r * 1.3, cy - r * 0.6)]
    p.line(pts, c, w)


def ic_plus(p, cx, cy, s, c):
    r, w = s * 0.28, s * 0.12
    p.line([(cx - r, cy), (cx + r, cy)], c, w)
    p.line([(cx, cy - r), (cx, cy + r)], c, w)


def ic_minus(p, cx, cy, s, c):
    r, w = s * 0.28, s * 0.12
    p.line([(cx - r, cy), (cx + r, cy)], c, w)


def ic_close(p, cx, cy, s, c):
    r, w = s * 0.24, s * 0.11
    p.line([(cx - r, cy - r), (cx + r, cy + r)], c, w)
    p.line([(cx - r, cy + r), (cx + r, cy - r)], c, w)


def ic_speaker(p, cx, cy, s, c, muted=False, mute_col=None):
    x = cx - s * 0.30
    p.poly([(x - s * 0.12, cy - s * 0.12), (x + s * 0.04, cy - s * 0.12), (x + s * 0.24, cy - s * 0.32),
            (x + s * 0.24, cy + s * 0.32), (x + s * 0.04, cy + s * 0.12), (x - s * 0.12, cy + s * 0.12)], c)
    if muted:
        mx, r = cx + s * 0.22, s * 0.14
        mc = mute_col or c
        p.line([(mx - r, cy - r), (mx + r, cy + r)], mc, s * 0.09)
        p.line([(mx - r, cy + r), (mx + r, cy - r)], mc, s * 0.09)
    else:
        for k, rr in enumerate((0.20, 0.36)):
            r = s * rr
            bx = x + s * 0.18
            p.arc((bx - r, cy - r, bx + r, cy + r), -48, 48, c, s * 0.075)


def ic_sun(p, cx, cy, s, c):
    p.circle(cx, cy, s * 0.17, fill=c)
    for i in range(8):
        a = math.pi * i / 4
        r0, r1 = s * 0.28, s * 0.42
        p.line([(cx + r0 * math.cos(a), cy + r0 * math.sin(a)),
                (cx + r1 * math.cos(a), cy + r1 * math.sin(a))], c, s * 0.075)


def ic_contrast(p, cx, cy, s, c):
    r = s * 0.36
    p.circle(cx, cy, r, outline=c, width=s * 0.075)
    p.pie((cx - r, cy - r, cx + r, cy + r), 90, 270, c)


def ic_drop(p, cx, cy, s, c):
    r = s * 0.25
    by = cy + s * 0.13
    p.circle(cx, by, r, fill=c)
    p.poly([(cx - r * 0.96, by - r * 0.28), (cx, cy - s * 0.44), (cx + r * 0.96, by - r * 0.28)], c)


def ic_tv(p, cx, cy, s, c, bg):
    w, h = s * 0.88, s * 0.56
    y0 = cy - h / 2 + s * 0.10
    p.line([(cx - s * 0.18, y0 - s * 0.24), (cx, y0 - s * 0.02), (cx + s * 0.18, y0 - s * 0.24)], c, s * 0.07)
    p.rrect((cx - w / 2, y0, cx + w / 2, y0 + h), s * 0.09, fill=c)
    p.rrect((cx - w / 2 + s * 0.08, y0 + s * 0.08, cx + w / 2 - s * 0.08, y0 + h - s * 0.08), s * 0.04, fill=bg)


def ic_rca(p, cx, cy, s, c, bg):
    p.circle(cx, cy, s * 0.40, fill=c)
    p.circle(cx, cy, s * 0.27, fill=bg)
    p.circle(cx, cy, s * 0.10, fill=c)


def ic_svideo(p, cx, cy, s, c, bg):
    p.circle(cx, cy, s * 0.40, fill=c)
    p.circle(cx, cy, s * 0.30, fill=bg)
    for dx, dy in ((-0.12, -0.05), (0.12, -0.05), (-0.16, 0.11), (0.16, 0.11)):
        p.circle(cx + s * dx, cy + s * dy, s * 0.05, fill=c)
    p.rrect((cx - s * 0.05, cy - s * 0.30, cx + s * 0.05, cy - s * 0.16), 0, fill=c)


def ic_webcam(p, cx, cy, s, c, bg):
    hy = cy - s * 0.08
    p.circle(cx, hy, s * 0.32, fill=c)
    p.circle(cx, hy, s * 0.17, fill=bg)
    p.circle(cx, hy, s * 0.08, fill=c)
    p.poly([(cx - s * 0.08, hy + s * 0.28), (cx + s * 0.08, hy + s * 0.28),
            (cx + s * 0.14, cy + s * 0.40), (cx - s * 0.14, cy + s * 0.40)], c)
    p.rrect((cx - s * 0.26, cy + s * 0.36, cx + s * 0.26, cy + s * 0.44), s * 0.04, fill=c)


def ic_globe(p, cx, cy, s, c):
    r, w = s * 0.38, s * 0.07
    p.circle(cx, cy, r, outline=c, width=w)
    p.ellipse((cx - r * 0.45, cy - r, cx + r * 0.45, cy + r), outline=c, width=w)
    p.line([(cx - r, cy), (cx + r, cy)], c, w, False)
    p.line([(cx, cy - r), (cx, cy + r)], c, w, False)


def ic_route(p, cx, cy, s, c):
    """Crossbar: two inputs routed crosswise to two outputs."""
    x0, x1 = cx - s * 0.36, cx + s * 0.36
    ya, yb = cy - s * 0.22, cy + s * 0.22
    w = s * 0.08
    p.line([(x0, ya), (cx - s * 0.12, ya), (cx + s * 0.12, yb), (x1, yb)], c, w)
    p.line([(x0, yb), (cx - s * 0.12, yb), (cx + s * 0.12, ya), (x1, ya)], c, w)
    for x, y in ((x0, ya), (x0, yb)):
        p.circle(x, y, s * 0.08, fill=c)
    for y in (ya, yb):
        p.poly([(x1 + s * 0.10, y), (x1 - s * 0.06, y - s * 0.10), (x1 - s * 0.06, y + s * 0.10)], c)


def ic_sliders(p, cx, cy, s, c, bg):
    w = s * 0.07
    for i, (dy, kx) in enumerate(((-0.26, 0.14), (0.0, -0.16), (0.26, 0.06))):
        y = cy + s * dy
        p.line([(cx - s * 0.38, y), (cx + s * 0.38, y)], c, w)
        p.circle(cx + s * kx, y, s * 0.10, fill=c)
        p.circle(cx + s * kx, y, s * 0.045, fill=bg)


def ic_resize(p, cx, cy, s, c):
    r = s * 0.36
    w = s * 0.075
    p.rrect((cx - r, cy - r * 0.76, cx + r, cy + r * 0.76), s * 0.06, outline=c, width=w)
    a = s * 0.16
    # Arrows from the centre to two opposite corners.
    p.line([(cx - s * 0.05, cy + s * 0.03), (cx - r + s * 0.12, cy + r * 0.76 - s * 0.12)], c, w)
    p.line([(cx + s * 0.05, cy - s * 0.03), (cx + r - s * 0.12, cy - r * 0.76 + s * 0.12)], c, w)
    tx, ty = cx + r - s * 0.10, cy - r * 0.76 + s * 0.10
    p.poly([(tx + s * 0.02, ty - s * 0.02), (tx - a, ty), (tx, ty + a)], c)
    bx, by = cx - r + s * 0.10, cy + r * 0.76 - s * 0.10
    p.poly([(bx - s * 0.02, by + s * 0.02), (bx + a, by), (bx, by - a)], c)


def ic_motion(p, cx, cy, s, c):
    p.circle(cx, cy, s * 0.09, fill=c)
    w = s * 0.075
    for rr in (0.22, 0.38):
        r = s * rr
        p.arc((cx - r, cy - r, cx + r, cy + r), 140, 220, c, w)
        p.arc((cx - r, cy - r, cx + r, cy + r), -40, 40, c, w)


def ic_grid(p, cx, cy, s, c):
    q = s * 0.17
    g = s * 0.05
    for dx in (-1, 1):
        for dy in (-1, 1):
            x = cx + dx * (q / 2 + g)
            y = cy + dy * (q / 2 + g)
            p.rrect((x - q / 2, y - q / 2, x + q / 2, y + q / 2), q * 0.25, fill=c)


def ic_gear_badge(p, cx, cy, s, c, bg, badge, badge_col):
    ic_gear(p, cx - s * 0.06, cy, s * 0.86, c, bg)
    bx, by = cx + s * 0.30, cy + s * 0.26
    if badge == "rec":
        p.circle(bx, by, s * 0.18, fill=bg)
        p.circle(bx, by, s * 0.12, fill=badge_col)
    elif badge == "photo":
        p.circle(bx, by, s * 0.20, fill=bg)
        p.rrect((bx - s * 0.14, by - s * 0.08, bx + s * 0.14, by + s * 0.11), s * 0.03, fill=badge_col)
        p.circle(bx, by + s * 0.01, s * 0.05, fill=bg)


def draw_icon(p, kind, cx, cy, s, c, bg, accent):
    if kind == "record":
        ic_record(p, cx, cy, s, c)
    elif kind == "play":
        ic_play(p, cx, cy, s, c)
    elif kind == "pause":
        ic_pause(p, cx, cy, s, c)
    elif kind == "stop":
        ic_stop(p, cx, cy, s, c)
    elif kind == "camera":
        ic_camera(p, cx, cy, s, c, bg)
    elif kind == "folder_video":
        ic_folder(p, cx, cy, s, c, bg, "rec", accent)
    elif kind == "folder_photo":
        ic_folder(p, cx, cy, s, c, bg, "photo")
    elif kind == "gear":
        ic_gear(p, cx, cy, s, c, bg)
    elif kind == "gear_rec":
        ic_gear_badge(p, cx, cy, s, c, bg, "rec", accent)
    elif kind == "gear_photo":
        ic_gear_badge(p, cx, cy, s, c, bg, "photo", c)
    elif kind in ("left", "right", "up", "down"):
        ic_chevron(p, cx, cy, s, c, kind)
    elif kind == "plus":
        ic_plus(p, cx, cy, s, c)
    elif kind == "minus":
        ic_minus(p, cx, cy, s, c)
    elif kind == "close":
        ic_close(p, cx, cy, s, c)
    elif kind == "speaker":
        ic_speaker(p, cx, cy, s, c)
    elif kind == "speaker_muted":
        ic_speaker(p, cx, cy, s, c, True, accent)
    elif kind == "sun":
        ic_sun(p, cx, cy, s, c)
    elif kind == "contrast":
        ic_contrast(p, cx, cy, s, c)
    elif kind == "drop":
        ic_drop(p, cx, cy, s, c)
    elif kind == "tv":
        ic_tv(p, cx, cy, s, c, bg)
    elif kind == "rca":
        ic_rca(p, cx, cy, s, c, bg)
    elif kind == "svideo":
        ic_svideo(p, cx, cy, s, c, bg)
    elif kind == "webcam":
        ic_webcam(p, cx, cy, s, c, bg)
    elif kind == "globe":
        ic_globe(p, cx, cy, s, c)
    elif kind == "route":
        ic_route(p, cx, cy, s, c)
    elif kind == "sliders":
        ic_sliders(p, cx, cy, s, c, bg)
    elif kind == "resize":
        ic_resize(p, cx, cy, s, c)
    elif kind == "motion":
        ic_motion(p, cx, cy, s, c)
    elif kind == "grid":
        ic_grid(p, cx, cy, s, c)
    else:
        raise ValueError(kind)


# --------------------------------------------------------------------------- elements

class Button:
    def __init__(self, name, rect, tip, tip_on=None, icon=None, label=None, kind="push", group=0,
                 accent=TEAL, shape="rrect", mask=None, icon_size=None, label_size=9, icon_on=None):
        self.name, self.rect, self.tip = name, rect, tip
        self.tip_on = tip_on or tip
        self.icon, self.label, self.kind, self.group = icon, label, kind, group
        self.accent, self.shape, self.mask = accent, shape, mask
        self.icon_size, self.label_size = icon_size, label_size
        self.icon_on = icon_on  # a different glyph for the on and blink states

    def ini(self):
        x, y, w, h = self.rect
        f = [self.name, x, y, w, h]
        if self.mask:
            f.append(self.mask)
        if self.kind == "radio":
            f += ["TYPE_RADIO", self.group]
        elif self.kind == "onoff":
            f.append("TYPE_ON_OFF")
        else:
            f.append("TYPE_PUSH")
        f += [self.tip, self.tip_on]
        return ",".join(str(v) for v in f)


class Text:
    def __init__(self, name, rect, height, colour, initial, bold=False, face="Tahoma", sample=None):
        self.name, self.rect, self.height, self.colour = name, rect, height, colour
        self.initial, self.bold, self.face = initial, bold, face
        self.sample = sample or initial  # what the previews show

    def ini(self):
        r, g, b = self.colour
        x, y, w, h = self.rect
        return ",".join(str(v) for v in (self.name, self.face, "TRUE" if self.bold else "FALSE", "FALSE",
                                         self.height, (b << 16) | (g << 8) | r, x, y, w, h, self.initial, 0))


class Trackbar:
    def __init__(self, name, rect, icon, pos=50):
        self.name, self.rect, self.icon, self.pos = name, rect, icon, pos

    def ini(self):
        x, y, w, h = self.rect
        return ",".join(str(v) for v in (self.name, x, y, w, h, "H", self.pos, 0))


class Progress:
    def __init__(self, name, rect, tip, sample=40):
        self.name, self.rect, self.tip, self.sample = name, rect, tip, sample

    def ini(self):
        x, y, w, h = self.rect
        return ",".join(str(v) for v in (self.name, x, y, w, h, "H", self.tip))


def box_of(rect, inset=0):
    x, y, w, h = rect
    return (x + inset, y + inset, x + w - inset, y + h - inset)


# --------------------------------------------------------------------------- button drawing

FACE = {
    "normal":   [(0, (78, 84, 95)), (1, (52, 56, 64))],
    "over":     [(0, (94, 101, 114)), (1, (64, 69, 79))],
    "down":     [(0, (34, 37, 42)), (1, (46, 50, 57))],
    "disabled": [(0, (54, 57, 63)), (1, (46, 49, 54))],
}


def accent_face(accent, bright):
    dark = mix(accent, (12, 14, 16), 0.78 if bright else 0.86)
    top = mix(accent, (12, 14, 16), 0.58 if bright else 0.74)
    return [(0, top), (1, dark)]


def draw_button(p, b, state):
    """Draws button b in one state, entirely inside its rectangle."""
    x0, y0, x1, y1 = box_of(b.rect)
    w, h = x1 - x0, y1 - y0
    shift = 1 if state == "down" else 0
    round_ = b.shape == "round"
    r = min(w, h) / 2 if round_ else min(6, h / 4)
    body = (x0 + 1, y0 + 1, x1 - 1, y1 - 2)

    # Soft contact shadow below the body (none when pressed in).
    if state != "down" and not round_:
        p.rrect((x0 + 1, y0 + 2, x1 - 1, y1), r, fill=(0, 0, 0, 70))
        p.rrect((x0 + 0.5, y0 + 1.5, x1 - 0.5, y1 - 0.5), r + 0.5, fill=(0, 0, 0, 40))
    if round_:
        p.circle((x0 + x1) / 2, (y0 + y1) / 2 + 0.5, min(w, h) / 2, fill=(0, 0, 0, 90))
        body = (x0 + 1, y0 + 1, x1 - 1, y1 - 1)

    lit = state in ("on", "blink")
    if lit:
        stops = accent_face(b.accent, state == "on")
    elif state == "over" and b.name == "BUTTON_EXIT":
        stops = [(0, (196, 54, 58)), (1, (150, 34, 40))]  # closing warns in red
    else:
        stops = FACE[state]
    # Outline ring, then the face.
    ring = (16, 18, 21)
    if state == "over":
        ring = mix(TEAL if b.name != "BUTTON_EXIT" else RED, (16, 18, 21), 0.35)
    elif state == "on":
        ring = mix(b.accent, (16, 18, 21), 0.2)
    elif state == "blink":
        ring = mix(b.accent, (16, 18, 21), 0.55)
    p.rrect(body, r, fill=ring)
    face = (body[0] + 1, body[1] + 1, body[2] - 1, body[3] - 1)
    p.gradient(face, stops, r=max(0, r - 1))
    # Top highlight (bevel) or inner shadow when pressed.
    if state == "down":
        p.rrect((face[0], face[1], face[2], face[1] + 3), min(r, 2), fill=(0, 0, 0, 60))
    elif state != "disabled":
        hl = (255, 255, 255, 46 if state != "over" else 60)
        if round_:
            p.arc(face, 200, 340, hl, 1.0)
        else:
            p.line([(face[0] + r * 0.7, face[1] + 0.5), (face[2] - r * 0.7, face[1] + 0.5)], hl, 1.0, False)
    if state == "on":
        # Accent glow inside the face.
        gx0, gy0, gx1, gy1 = face
        p.rrect((gx0 + 2, gy0 + 2, gx1 - 2, gy1 - 2), max(0, r - 2), outline=with_alpha(b.accent, 44), width=1.0)

    # Content colours.
    if state == "disabled":
        ic, lc = ICON_DIM, (92, 97, 106)
    elif state == "on":
        ic = mix(b.accent, (255, 255, 255), 0.35)
        lc = mix(b.accent, (255, 255, 255), 0.55)
    elif state == "blink":
        ic = mix(b.accent, (255, 255, 255), 0.05)
        lc = mix(b.accent, (200, 200, 200), 0.4)
    elif state == "over":
        ic, lc = (255, 255, 255), (236, 240, 244)
    elif state == "down":
        ic, lc = (196, 202, 210), (176, 182, 190)
    else:
        ic, lc = ICON, (186, 193, 203)
    face_mid = gradient_at(stops, 0.5)
    if b.icon == "record" and state not in ("disabled",):
        ic = RED_HI if state == "on" else (RED if state != "blink" else mix(RED, (255, 255, 255), 0.3))
    icon = b.icon_on if b.icon_on and state in ("on", "blink") else b.icon
    draw_content(p, b, icon, face, shift, ic, lc, face_mid, state)


def draw_content(p, b, icon, face, shift, ic, lc, face_bg, state):
    fx0, fy0, fx1, fy1 = face
    fw, fh = fx1 - fx0, fy1 - fy0
    cx = (fx0 + fx1) / 2 + shift
    cy = (fy0 + fy1) / 2 + shift
    accent = b.accent if state != "disabled" else ICON_DIM
    if icon and b.label and fh >= 30:
        s = b.icon_size or min(fh * 0.5, 18)
        draw_icon(p, icon, cx, fy0 + fh * 0.38 + shift, s, ic, face_bg, accent)
        p.text(cx, fy0 + fh * 0.80 + shift, b.label, b.label_size, lc, condensed=True)
    elif icon and b.label:
        s = b.icon_size or min(fh * 0.62, 16)
        f = font(b.label_size, True, True)
        tw = f.getlength(b.label)
        total = s + 5 + tw
        ix = cx - total / 2 + s / 2
        draw_icon(p, icon, ix, cy, s, ic, face_bg, accent)
        p.text(ix + s / 2 + 5, cy, b.label, b.label_size, lc, anchor="lm", condensed=True)
    elif icon:
        s = b.icon_size or min(fh, fw) * 0.62
        draw_icon(p, icon, cx, cy, s, ic, face_bg, accent)
    elif b.label:
        p.text(cx, cy, b.label, b.label_size, lc, condensed=True)


# --------------------------------------------------------------------------- property plate

PROP_KINDS = {
    "Volume": ("speaker", "VOLUME"),
    "Mute": ("speaker_muted", "MUTED"),
    "Brightness": ("sun", "BRIGHTNESS"),
    "Contrast": ("contrast", "CONTRAST"),
    "Saturation": ("drop", "SATURATION"),
}


def draw_property_plate(p, rect, which):
    """The property selector's face: a small lit display naming the selected property."""
    x0, y0, x1, y1 = box_of(rect)
    muted = which == "Mute"
    acc = RED if muted else TEAL
    p.rrect((x0, y0, x1, y1), 6, fill=(12, 13, 15))
    p.gradient((x0 + 1, y0 + 1, x1 - 1, y1 - 1),
               [(0, (16, 22, 25)), (1, (22, 30, 34))] if not muted else [(0, (30, 14, 16)), (1, (40, 18, 20))],
               r=5)
    p.rrect((x0 + 1, y1 - 2, x1 - 1, y1 - 1), 1, fill=(255, 255, 255, 18))
    icon, label = PROP_KINDS[which]
    h = y1 - y0
    cx = x0 + 8 + h * 0.36
    cy = (y0 + y1) / 2
    ic = mix(acc, (255, 255, 255), 0.35)
    draw_icon(p, icon, cx, cy, h * 0.62, ic, (20, 26, 30), RED_HI)
    p.text(cx + h * 0.36 + 7, cy, label, 10, mix(acc, (255, 255, 255), 0.5), anchor="lm", tracking=1.2)
    # A small down-pointing mark: the volume plate opens the recording input menu.
    if which in ("Volume", "Mute"):
        mx = x1 - 12
        p.poly([(mx - 3.5, cy - 1.5), (mx + 3.5, cy - 1.5), (mx, cy + 2.5)], with_alpha(ic, 200))


# --------------------------------------------------------------------------- static body pieces

def recess(p, b, r, stops, rim=(10, 11, 13), lip=True):
    """A recessed panel: dark rim, gradient floor, light lip along the bottom edge."""
    x0, y0, x1, y1 = b
    if lip:
        p.rrect((x0 - 1, y0 - 1, x1 + 1, y1 + 1), r + 1, fill=(255, 255, 255, 26))
        p.rrect((x0 - 1, y0 - 1, x1 + 1, y1), r + 1, fill=(0, 0, 0, 60))
    p.rrect(b, r, fill=rim)
    p.gradient((x0 + 1, y0 + 1, x1 - 1, y1 - 1), stops, r=max(0, r - 1))
    p.rrect((x0 + 1, y0 + 1, x1 - 1, y0 + 3), min(r, 2), fill=(0, 0, 0, 70))


def draw_screen(p, rect, bezel):
    x0, y0, x1, y1 = box_of(rect)
    b = (x0 - bezel, y0 - bezel, x1 + bezel, y1 + bezel)
    recess(p, b, bezel + 2, [(0, (18, 20, 24)), (1, (28, 31, 36))])
    p.rrect((x0 - 1, y0 - 1, x1 + 1, y1 + 1), 2, fill=(4, 4, 5))
    p.gradient((x0, y0, x1, y1), [(0, (10, 12, 15)), (0.5, (14, 17, 21)), (1, (8, 9, 11))])
    # A faint idle emblem in the middle (covered by live video when it runs).
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    s = min(x1 - x0, y1 - y0) * 0.22
    ic_camera(p, cx, cy - s * 0.1, s, (30, 35, 42), (14, 17, 21))
    # Glass sheen across the top-left.
    p.poly([(x0, y0), (x0 + (x1 - x0) * 0.55, y0), (x0, y0 + (y1 - y0) * 0.45)], (255, 255, 255, 5))


def draw_lcd(p, b):
    recess(p, b, 7, [(0, (10, 18, 20)), (1, (16, 26, 29))])
    x0, y0, x1, y1 = b
    p.line([(x0 + 6, y0 + 1.5), (x1 - 6, y0 + 1.5)], (0, 0, 0, 80), 1, False)


def draw_groove(p, rect):
    x0, y0, x1, y1 = box_of(rect)
    r = (y1 - y0) / 2
    p.rrect((x0, y0 - 1, x1, y1 + 1), r + 1, fill=(255, 255, 255, 22))
    p.rrect((x0, y0, x1, y1), r, fill=(8, 9, 11))
    p.gradient((x0 + 1, y0 + 1, x1 - 1, y1 - 1), [(0, (14, 16, 19)), (1, (26, 29, 33))], r=max(0, r - 1))


def draw_fill(p, rect):
    x0, y0, x1, y1 = box_of(rect)
    r = (y1 - y0) / 2
    p.rrect((x0, y0, x1, y1), r, fill=(8, 9, 11))
    # Horizontal ramp so a partial fill reads as growing toward the bright end.
    w = x1 - x0 - 2
    steps = 24
    for i in range(steps):
        t = i / (steps - 1)
        c = lerp(TEAL_DEEP, TEAL_HI, t)
        xa = x0 + 1 + w * i / steps
        xb = x0 + 1 + w * (i + 1) / steps
        p.d.rectangle([round(xa * SS), round((y0 + 1) * SS), round(xb * SS), round((y1 - 1) * SS) - 1], fill=c)
    p.rrect((x0 + 1, y0 + 1, x1 - 1, y0 + 1 + (y1 - y0 - 2) * 0.45), r, fill=(255, 255, 255, 50))


def section_label(p, x, y, s, width=None, anchor="lm"):
    p.text(x, y, s, 8, LABEL, anchor=anchor, tracking=1.6)
    if width:
        f = font(8)
        tw = sum(f.getlength(c) for c in s) + 1.6 * (len(s) - 1)
        p.line([(x + tw + 8, y + 0.5), (x + width, y + 0.5)], (0, 0, 0, 70), 1, False)
        p.line([(x + tw + 8, y + 1.5), (x + width, y + 1.5)], (255, 255, 255, 14), 1, False)


def wordmark(p, x, y, size, sub=True):
    p.text(x, y, "LUMETRA", size, (226, 231, 237), anchor="lm", tracking=size * 0.16)
    f = font(size)
    tw = sum(f.getlength(c) for c in "LUMETRA") + size * 0.16 * 6
    p.circle(x + tw + size * 0.42, y + size * 0.22, size * 0.17, fill=TEAL)
    if sub:
        p.text(x + 1, y + size * 0.95, "VIDEO CAPTURE", 7, (118, 126, 138), anchor="lm", tracking=2.2)


# --------------------------------------------------------------------------- window shape

def body_shape(w, h, top, radius, step):
    """4x L image: the window outline.

    The left part of the top edge (up to step = (x0, x1)) stands higher than the rest: the header
    holding the view selector and the name rises from y = 0 and falls to y = top along an S-curve.
    """
    R = radius
    pts = []

    def arc(cx, cy, a0, a1, n=24):
        for i in range(n + 1):
            a = math.radians(a0 + (a1 - a0) * i / n)
            pts.append((cx + R * math.cos(a), cy + R * math.sin(a)))

    arc(R, R, 180, 270)
    sx0, sx1 = step
    for i in range(33):
        t = i / 32
        pts.append((sx0 + (sx1 - sx0) * t, top * (1 - math.cos(math.pi * t)) / 2))
    arc(w - R, top + R, 270, 360)
    arc(w - R, h - R, 0, 90)
    arc(R, h - R, 90, 180)
    m = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(m).polygon([(x * SS, y * SS) for x, y in pts], fill=255)
    return m


def bevel(mask1):
    """Post step: dark outer rim, light top edge, dark bottom edge, following the window outline."""
    inner1 = mask1.filter(ImageFilter.MinFilter(3))
    inner2 = inner1.filter(ImageFilter.MinFilter(3))
    rim = ImageChops.subtract(mask1, inner1)
    ring = ImageChops.subtract(inner1, inner2)
    above = ImageChops.offset(inner1, 0, 2)  # value at (x, y) is inner1 at (x, y - 2)
    top_edge = ImageChops.multiply(ring, ImageChops.invert(above))
    bottom_edge = ImageChops.subtract(ring, top_edge)

    def apply(im):
        im = im.copy()
        im.paste((15, 16, 19), (0, 0), rim)
        hi = Image.blend(im, Image.new("RGB", im.size, (255, 255, 255)), 0.28)
        im.paste(hi, (0, 0), top_edge)
        lo = Image.blend(im, Image.new("RGB", im.size, (0, 0, 0)), 0.30)
        im.paste(lo, (0, 0), bottom_edge)
        return im
    return apply


# --------------------------------------------------------------------------- views

class View:
    def __init__(self, key, title, size, screen, bezel, header_h, top, radius, step):
        self.key, self.title = key, title
        self.w, self.h = size
        self.screen, self.bezel = screen, bezel
        self.header_h, self.top, self.radius, self.step = header_h, top, radius, step
        self.buttons, self.texts, self.trackbars, self.progress = [], [], [], []
        self.decor = []  # callables drawing static parts on the body

    def file(self, what, ext="bmp"):
        return "%s_%s.%s" % (self.key, what, ext)

    def elements(self):
        return self.buttons + self.texts + self.trackbars + self.progress


def full_view():
    v = View("Full", "Full panel", (700, 450), (30, 68, 384, 288), 10, 54, 12, 22, (232, 268))
    B = v.buttons.append
    # Header: view selector in the tab, window buttons at the right.
    B(Button("BUTTON_VIEW_MENU", (26, 7, 38, 38), "Views and full screen", icon="grid", shape="round",
             mask=v.file("ViewMenuMask"), icon_size=22))
    B(Button("BUTTON_WEBSITE", (584, 21, 26, 26), "http://localhost/lumetra", icon="globe", icon_size=17))
    B(Button("BUTTON_MINIMIZE", (620, 21, 26, 26), "Minimise", icon="minus", icon_size=17))
    B(Button("BUTTON_EXIT", (650, 21, 26, 26), "Exit", icon="close", icon_size=17, accent=RED))
    # Transport under the screen.
    ty, th = 398, 36
    B(Button("BUTTON_VIDCAP", (30, ty, 46, th), "Record", "Recording", icon="record", accent=RED,
             icon_size=22))
    B(Button("BUTTON_VIDPLAY", (80, ty, 46, th), "Play last recording", "Playing", icon="play", icon_size=22))
    B(Button("BUTTON_VIDPAUSE", (130, ty, 46, th), "Pause", "Resume", icon="pause", accent=AMBER,
             icon_size=22))
    B(Button("BUTTON_VIDSTOP", (180, ty, 46, th), "Stop", icon="stop", icon_size=22))
    B(Button("BUTTON_SNAPSHOT", (240, ty, 58, th), "Take snapshot", icon="camera", icon_size=24))
    B(Button("BUTTON_VID_FILE", (312, ty, 50, th), "Recording file", icon="folder_video", label="VIDEO",
             accent=RED, icon_size=17, label_size=8))
    B(Button("BUTTON_SNAP_FILE", (366, ty, 48, th), "Snapshot file", icon="folder_photo", label="PHOTO",
             icon_size=17, label_size=8))
    # Inputs: one radio group.
    ix, iy, iw, ih = 440, 170, 57, 38
    for i, (name, tip, icon, label) in enumerate((
            ("BUTTON_INPUT_TUNER", "TV tuner input", "tv", "TV"),
            ("BUTTON_INPUT_COMPOSITE", "Composite video input", "rca", "Video"),
            ("BUTTON_INPUT_SVIDEO", "S-Video input", "svideo", "S-Video"),
            ("BUTTON_INPUT_WEBCAM", "Webcam input", "webcam", "Cam"))):
        B(Button(name, (ix + i * (iw + 4), iy, iw, ih), tip, tip + " (selected)", icon=icon, label=label,
                 kind="radio", group=1, icon_size=18))
    ry = 214
    B(Button("BUTTON_XBAR", (440, ry, 76, 24), "Crossbar routing", icon="route", label="Crossbar", icon_size=14))
    B(Button("BUTTON_DEVICE_PROPERTY", (522, ry, 76, 24), "Device picture settings", icon="sliders",
             label="Device", icon_size=14))
    B(Button("BUTTON_CAPTURE_SIZE", (604, ry, 76, 24), "Capture size", icon="resize", label="Size",
             icon_size=14))
    # Property selector and level.
    py = 262
    B(Button("BUTTON_CYCLE_PREV", (440, py, 26, 28), "Previous setting", icon="left", icon_size=18))
    prop = (470, py, 146, 28)
    for name, tip in (("BUTTON_PROP_VOLUME", "Volume: click for recording input; wheel adjusts"),
                      ("BUTTON_PROP_BRIGHTNESS", "Brightness: wheel adjusts"),
                      ("BUTTON_PROP_CONTRAST", "Contrast: wheel adjusts"),
                      ("BUTTON_PROP_SATURATION", "Saturation: wheel adjusts")):
        on = "Muted: click to unmute" if name == "BUTTON_PROP_VOLUME" else tip
        B(Button(name, prop, tip, on))
    B(Button("BUTTON_CYCLE_NEXT", (620, py, 26, 28), "Next setting", icon="right", icon_size=18))
    B(Button("BUTTON_MUTE", (652, py, 28, 28), "Mute", "Sound off: click to unmute", icon="speaker",
             icon_on="speaker_muted", kind="onoff", accent=RED, icon_size=18))
    ly = 296
    B(Button("BUTTON_CYCLE_DOWN", (440, ly, 26, 22), "Decrease", icon="minus", icon_size=16))
    B(Button("BUTTON_CYCLE_UP", (654, ly, 26, 22), "Increase", icon="plus", icon_size=16))
    v.progress.append(Progress("PROGRESS_PROPERTY", (474, ly + 6, 172, 10), "Level of the selected setting", 62))
    v.progress.append(Progress("PROGRESS_VIDEO", (30, 378, 384, 10), "Playback position", 35))
    # Setup row, level with the transport.
    B(Button("BUTTON_VIDCAP_SETUP", (440, ty, 76, th), "Recording settings", icon="gear_rec", label="Rec setup",
             accent=RED, icon_size=17, label_size=8))
    B(Button("BUTTON_SNAPSHOT_SETUP", (522, ty, 76, th), "Snapshot settings", icon="gear_photo",
             label="Snap setup", icon_size=17, label_size=8))
    B(Button("BUTTON_MOTION_SETUP", (604, ty, 76, th), "Motion detection", icon="motion", label="Motion",
             icon_size=17, label_size=8))
    # Trackbars: a 2 x 2 grid on a flat panel (the thumb picture's corners match it).
    tb = [("TRACKBAR_BRIGHTNESS", "sun"), ("TRACKBAR_CONTRAST", "contrast"),
          ("TRACKBAR_SATURATION", "drop"), ("TRACKBAR_VOLUME", "speaker")]
    for i, (name, icon) in enumerate(tb):
        col, row = i % 2, i // 2
        x = 460 + col * 120
        y = 335 + row * 24
        v.trackbars.append(Trackbar(name, (x, y, 98, 16), icon, (40, 55, 70, 60)[i]))
    v.trackbar_panel = (440, 328, 680, 382)
    # Status display.
    v.lcd = (440, 58, 680, 150)
    v.texts.append(Text("TEXT_FUNC", (452, 68, 140, 22), 20, LCD_TEXT, "MONITOR", bold=True))
    v.texts.append(Text("TEXT_CLOCK", (604, 70, 68, 20), 18, (200, 210, 220), "00:00", bold=True,
                        sample="12:34"))
    v.texts.append(Text("TEXT_FILENAME", (452, 100, 218, 16), 14, (168, 186, 192), "",
                        sample="C:\\Captures\\capture.avi"))
    v.texts.append(Text("TEXT_STREAMFORMAT", (452, 124, 110, 16), 14, (120, 200, 196), "640 x 480"))
    v.labels = [(440, 160, "INPUT", 240), (440, 250, "PICTURE & SOUND", 240)]
    v.wordmark = (78, 22, 16, True)
    v.cradles = [(26, 394, 418, 438), (436, 394, 684, 438), (436, 258, 684, 322)]
    return v


def compact_view():
    v = View("Compact", "Compact", (400, 314), (16, 54, 288, 216), 7, 44, 10, 18, (150, 182))
    B = v.buttons.append
    B(Button("BUTTON_VIEW_MENU", (20, 6, 32, 32), "Views and full screen", icon="grid", shape="round",
             mask=v.file("ViewMenuMask"), icon_size=19))
    B(Button("BUTTON_MINIMIZE", (330, 16, 24, 24), "Minimise", icon="minus", icon_size=16))
    B(Button("BUTTON_EXIT", (360, 16, 24, 24), "Exit", icon="close", icon_size=16, accent=RED))
    # One column of controls beside the screen.
    x, y, w, h, gap = 316, 54, 68, 31, 6
    col = [("BUTTON_VIDCAP", "Record", "Recording", "record", RED, None),
           ("BUTTON_VIDPLAY", "Play last recording", "Playing", "play", TEAL, None),
           ("BUTTON_VIDPAUSE", "Pause", "Resume", "pause", AMBER, None),
           ("BUTTON_VIDSTOP", "Stop", None, "stop", TEAL, None),
           ("BUTTON_SNAPSHOT", "Take snapshot", None, "camera", TEAL, None),
           ("BUTTON_MUTE", "Mute", "Sound off: click to unmute", "speaker", RED, "speaker_muted")]
    for i, (name, tip, tip_on, icon, acc, icon_on) in enumerate(col):
        B(Button(name, (x, y + i * (h + gap), w, h), tip, tip_on, icon=icon, accent=acc, icon_size=20,
                 icon_on=icon_on, kind="onoff" if name == "BUTTON_MUTE" else "push"))
    v.cradles = [(312, 50, 388, 274)]
    v.lcd = (16, 284, 384, 304)
    v.texts.append(Text("TEXT_FUNC", (28, 286, 150, 16), 14, LCD_TEXT, "MONITOR", bold=True))
    v.texts.append(Text("TEXT_STREAMFORMAT", (200, 287, 80, 14), 12, (120, 200, 196), "640 x 480"))
    v.texts.append(Text("TEXT_CLOCK", (324, 286, 54, 16), 14, (200, 210, 220), "00:00", bold=True,
                        sample="12:34"))
    v.trackbar_panel = None
    v.labels = []
    v.wordmark = (60, 22, 13, False)
    return v


# --------------------------------------------------------------------------- composition

BODY_TOP = [(72, 77, 87), (60, 64, 73)]
BODY = [(52, 56, 63), (33, 36, 41)]


def draw_base(v):
    """The static body of a view: everything that is not an element's own picture."""
    shape = body_shape(v.w, v.h, v.top, v.radius, v.step)
    p = Painter(v.w, v.h, (24, 26, 30))
    hh = v.header_h / v.h
    p.gradient((0, 0, v.w, v.h), [(0, BODY_TOP[0]), (hh, BODY_TOP[1]), (hh + 0.0001, BODY[0]), (1, BODY[1])],
               mask=shape)
    # Header separator: a fine engraved line.
    p.line([(v.radius, v.header_h - 0.5), (v.w - v.radius, v.header_h - 0.5)], (14, 15, 18, 200), 1, False)
    p.line([(v.radius, v.header_h + 0.5), (v.w - v.radius, v.header_h + 0.5)], (255, 255, 255, 20), 1, False)
    mask1 = shape.reduce(SS).point(lambda a: 255 if a >= 128 else 0)
    p.post.append(bevel(mask1))

    draw_screen(p, v.screen, v.bezel)
    draw_lcd(p, v.lcd)
    if v.trackbar_panel:
        recess(p, v.trackbar_panel, 7, [(0, PANEL), (1, PANEL)])
        for t in v.trackbars:
            x, y, w, h = t.rect
            draw_icon(p, t.icon, x - 10, y + h / 2, 13, (150, 160, 172), PANEL, RED)
            draw_track_groove(p, t.rect)
    for x, y, s, width in v.labels:
        section_label(p, x, y, s, width)
    for pr in v.progress:
        draw_groove(p, pr.rect)
    # Cradles behind the element groups so they read as parts of one device.
    wordmark(p, *v.wordmark)
    for b in v.buttons:
        if b.shape == "round":
            x, y, w, h = b.rect
            cx, cy, r = x + w / 2, y + h / 2, w / 2
            p.circle(cx, cy + 0.5, r + 3.5, fill=(255, 255, 255, 20))
            p.circle(cx, cy, r + 3, fill=(18, 20, 24))
            p.circle(cx, cy, r + 2, fill=(30, 33, 38))
            p.arc((cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2), 120, 240, with_alpha(TEAL, 150), 1.2)
    for c in v.cradles:
        draw_cradle(p, c)
    return p, mask1


PANEL = (22, 24, 28)


def draw_cradle(p, b):
    """A shallow tray under a group of buttons."""
    x0, y0, x1, y1 = b
    p.rrect((x0, y0, x1, y1 + 1), 9, fill=(255, 255, 255, 16))
    p.rrect((x0, y0, x1, y1), 9, fill=(0, 0, 0, 46))
    p.rrect((x0 + 1, y0 + 1, x1 - 1, y1 - 1), 8, fill=(0, 0, 0, 20))


def draw_track_groove(p, rect):
    """Trackbar groove: whole pixels only, so the thumb picture can repeat it exactly."""
    x, y, w, h = rect
    gy = y + h // 2 - 2
    p.d.rectangle([(x + 3) * SS, gy * SS, (x + w - 3) * SS - 1, (gy + 4) * SS - 1], fill=GROOVE[0])
    p.d.rectangle([(x + 4) * SS, (gy + 1) * SS, (x + w - 4) * SS - 1, (gy + 3) * SS - 1], fill=GROOVE[1])
    # Tick marks at the quarters.
    for k in range(5):
        tx = x + 8 + (w - 16) * k / 4
        p.d.rectangle([round(tx * SS), (y + h - 2) * SS, round(tx * SS) + SS - 1, (y + h) * SS - 1],
                      fill=(70, 76, 86))


GROOVE = [(6, 7, 8), (36, 40, 46)]


def slider_image(over, h):
    """Trackbar thumb: a small vertical pill on the panel colour, with the groove running through."""
    w = 12
    p = Painter(w, h, PANEL)
    gy = h // 2 - 2
    p.d.rectangle([0, gy * SS, w * SS - 1, (gy + 4) * SS - 1], fill=GROOVE[0])
    p.d.rectangle([0, (gy + 1) * SS, w * SS - 1, (gy + 3) * SS - 1], fill=GROOVE[1])
    p.rrect((1, 0, w - 1, h), 4, fill=(0, 0, 0, 110))
    p.rrect((1, 0, w - 1, h - 1), 4, fill=(14, 16, 19))
    stops = [(0, (212, 218, 226)), (1, (150, 157, 168))] if not over else [(0, (236, 250, 250)), (1, (170, 214, 214))]
    p.gradient((2, 1, w - 2, h - 2), stops, r=3)
    p.line([(w / 2, 4), (w / 2, h - 5)], TEAL if not over else TEAL_HI, 2, True)
    return p.render()


def view_menu_mask(b):
    x, y, w, h = b.rect
    m = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(m).ellipse([0, 0, w * SS - 1, h * SS - 1], fill=255)
    m = m.reduce(SS).point(lambda a: 255 if a >= 128 else 0)
    out = Image.new("RGB", (w, h), (255, 255, 255))
    out.paste((0, 0, 0), (0, 0), m)
    return out


def render_state(base, v, state):
    p = base.copy()
    for b in v.buttons:
        if b.name.startswith("BUTTON_PROP_"):
            draw_property_plate(p, b.rect, "Volume")
        else:
            draw_button(p, b, state)
    if state == "on":
        for pr in v.progress:
            draw_fill(p, pr.rect)
    return p.render()


def render_property(base, v, which):
    p = base.copy()
    for b in v.buttons:
        if b.name.startswith("BUTTON_PROP_"):
            draw_property_plate(p, b.rect, which)
        else:
            draw_button(p, b, "normal")
    return p.render()


def write_bmp(im, path):
    im.convert("RGB").save(path, "BMP")


def write_jpeg(im, path):
    im.convert("RGB").save(path, "JPEG", quality=95, subsampling=0, optimize=True)


def build_view(v):
    base, mask1 = draw_base(v)
    images = {}
    names = {"normal": "Main", "over": "Over", "down": "Down", "on": "On", "blink": "Blink",
             "disabled": "Disabled"}
    for state in STATES:
        im = render_state(base, v, state)
        images[names[state]] = im
        write_bmp(im, os.path.join(OUT, v.file(names[state])))
    mask = Image.new("RGB", (v.w, v.h), (255, 255, 255))
    mask.paste((0, 0, 0), (0, 0), mask1)
    write_bmp(mask, os.path.join(OUT, v.file("Mask")))
    has_prop = any(b.name.startswith("BUTTON_PROP_") for b in v.buttons)
    for which in ("Volume", "Mute", "Brightness", "Contrast", "Saturation"):
        # Without a property selector these only need the right size.
        im = render_property(base, v, which) if has_prop else images["Main"]
        write_jpeg(im, os.path.join(OUT, v.file(which, "jpg")))
        images[which] = im
    th = v.trackbars[0].rect[3] if v.trackbars else 16
    for which, over in (("Slider", False), ("SliderOver", True)):
        write_bmp(slider_image(over, th), os.path.join(OUT, v.file(which)))
    for b in v.buttons:
        if b.mask:
            write_bmp(view_menu_mask(b), os.path.join(OUT, b.mask))
    return images, mask1


# --------------------------------------------------------------------------- ini files

def write_ini(path, sections):
    lines = []
    for name, entries in sections:
        lines.append("[%s]" % name)
        lines += entries
        lines.append("")
    with open(path, "w", newline="\r\n") as f:
        f.write("\n".join(lines))


def write_view_ini(v):
    images = [("Main", v.file("Main")), ("Mask", v.file("Mask")), ("Over", v.file("Over")),
              ("Down", v.file("Down")), ("On", v.file("On")), ("Blink", v.file("Blink")),
              ("Disabled", v.file("Disabled"))]
    images += [(k, v.file(k, "jpg")) for k in ("Volume", "Mute", "Brightness", "Contrast", "Saturation")]
    images += [("Slider", v.file("Slider")), ("SliderOver", v.file("SliderOver"))]

    def numbered(items):
        return ["%d=%s" % (i + 1, it.ini()) for i, it in enumerate(items)]

    x, y, w, h = v.screen
    write_ini(os.path.join(OUT, v.key + ".ini"), [
        ("IMAGES", ["%s=%s" % kv for kv in images]),
        ("SCREENINFO", ["Screen=%d,%d,%d,%d" % (x, y, w, h)]),
        ("BUTTONINFO", numbered(v.buttons)),
        ("TEXTINFO", numbered(v.texts)),
        ("TRACKBARINFO", numbered(v.trackbars)),
        ("PROGRESSINFO", numbered(v.progress)),
    ])


def write_master(views, root):
    entries = ["FOLDER=%s\\" % SKIN_FOLDER]
    entries += ["%d=%s.ini,%s" % (i + 1, v.key, v.title) for i, v in enumerate(views)]
    write_ini(os.path.join(root, "skins.ini"), [("VIEWS", entries)])


# --------------------------------------------------------------------------- previews

def preview_font(cell, bold):
    """Tahoma at a cell height, as Wine ships it; DejaVu when that is not installed."""
    path = "/usr/share/wine/fonts/tahomabd.ttf" if bold else "/usr/share/wine/fonts/tahoma.ttf"
    if not os.path.isfile(path):
        return font(max(6, cell - 4), bold)
    a, d = ImageFont.truetype(path, 100).getmetrics()
    return ImageFont.truetype(path, round(cell * 100 / (a + d)))


def preview(v, images, mask1, folder):
    """Pictures for a designer's eye (not part of the skin): the window as the program shows it."""
    os.makedirs(folder, exist_ok=True)
    desk = Image.new("RGB", (v.w + 40, v.h + 40), (92, 110, 128))
    d = ImageDraw.Draw(desk)
    for i in range(0, desk.size[0] + desk.size[1], 24):
        d.line([(i, 0), (i - desk.size[1], desk.size[1])], fill=(98, 116, 134), width=8)

    def window(base_im, fill_values=True, state_name=None):
        im = base_im.copy()
        dd = ImageDraw.Draw(im)
        for t in v.texts:
            x, y, w, h = t.rect
            sub = images["Main"].crop((x, y, x + w, y + h))
            im.paste(sub, (x, y))
            f = preview_font(t.height, t.bold)
            dd.text((x, y), t.sample, font=f, fill=t.colour)
        for tb in v.trackbars:
            x, y, w, h = tb.rect
            th = Image.open(os.path.join(OUT, v.file("Slider")))
            tx = x + 6 + (w - 12) * tb.pos // 100 - th.size[0] // 2
            im.paste(th, (tx, y))
        if fill_values:
            for pr in v.progress:
                x, y, w, h = pr.rect
                fw = w * pr.sample // 100
                im.paste(images["On"].crop((x, y, x + fw, y + h)), (x, y))
        out = desk.copy()
        out.paste(im, (20, 20), mask1)
        return out

    window(images["Main"]).save(os.path.join(folder, "%s_window.png" % v.key))
    tiles = [("Main", images["Main"]), ("Over", images["Over"]), ("Down", images["Down"]),
             ("On", images["On"]), ("Blink", images["Blink"]), ("Disabled", images["Disabled"])]
    cols = 2
    tw, tht = v.w + 40, v.h + 40 + 18
    mosaic = Image.new("RGB", (tw * cols, tht * 3), (40, 44, 50))
    md = ImageDraw.Draw(mosaic)
    for i, (n, im) in enumerate(tiles):
        ox, oy = (i % cols) * tw, (i // cols) * tht
        mosaic.paste(window(im, False), (ox, oy + 18))
        md.text((ox + 8, oy + 2), n, font=font(12), fill=(230, 230, 230))
    mosaic.save(os.path.join(folder, "%s_states.png" % v.key))
    props = [images[k] for k in ("Volume", "Mute", "Brightness", "Contrast", "Saturation")]
    b = next((b for b in v.buttons if b.name == "BUTTON_PROP_VOLUME"), None)
    if b:
        x, y, w, h = b.rect
        strip = Image.new("RGB", (w * 3 + 20, (h + 6) * 5 * 3), (40, 44, 50))
        for i, im in enumerate(props):
            crop = im.crop((x - 6, y - 2, x + w + 6, y + h + 4)).resize(((w + 12) * 3, (h + 6) * 3), Image.NEAREST)
            strip.paste(crop, (0, i * (h + 6) * 3))
        strip.save(os.path.join(folder, "%s_props.png" % v.key))
    Image.open(os.path.join(OUT, v.file("Mask"))).save(os.path.join(folder, "%s_mask.png" % v.key))
    big = window(images["Main"]).resize(((v.w + 40) * 2, (v.h + 40) * 2), Image.NEAREST)
    big.save(os.path.join(folder, "%s_window_2x.png" % v.key))


def main():
    import argparse
    global OUT
    ap = argparse.ArgumentParser(description="Draw the default skin.")
    ap.add_argument("--out", default=HERE, help="folder for skins.ini and %s/ (default: beside this script)"
                    % SKIN_FOLDER)
    ap.add_argument("--preview", metavar="DIR", help="also write preview pictures (PNG) into DIR")
    args = ap.parse_args()
    root = os.path.abspath(args.out)
    OUT = os.path.join(root, SKIN_FOLDER)
    os.makedirs(OUT, exist_ok=True)
    views = [full_view(), compact_view()]
    for v in views:
        images, mask1 = build_view(v)
        write_view_ini(v)
        if args.preview:
            preview(v, images, mask1, args.preview)
    write_master(views, root)


if __name__ == "__main__":
    main()
