#!/usr/bin/python3
"""Checks the default skin: reads skins.ini and every view file back the way the program does and
verifies names, field layout, rectangles, images and masks.

    /usr/bin/python3 res/skin/check_skin.py            # check the committed skin
    /usr/bin/python3 res/skin/check_skin.py --regen    # also redraw it twice and compare byte for byte

Prints one line per problem and "skin OK" at the end; the exit status is 1 when anything failed.
"""
import filecmp
import os
import subprocess
import sys
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))

REQUIRED = """BUTTON_MINIMIZE BUTTON_EXIT BUTTON_CYCLE_UP BUTTON_CYCLE_DOWN BUTTON_CYCLE_PREV BUTTON_CYCLE_NEXT
BUTTON_WEBSITE BUTTON_INPUT_TUNER BUTTON_INPUT_COMPOSITE BUTTON_INPUT_SVIDEO BUTTON_INPUT_WEBCAM BUTTON_XBAR
BUTTON_DEVICE_PROPERTY BUTTON_CAPTURE_SIZE BUTTON_VIDCAP BUTTON_VIDPLAY BUTTON_VIDPAUSE BUTTON_VIDSTOP
BUTTON_VID_FILE BUTTON_SNAP_FILE BUTTON_SNAPSHOT BUTTON_VIDCAP_SETUP BUTTON_SNAPSHOT_SETUP BUTTON_VIEW_MENU
BUTTON_PROP_VOLUME BUTTON_PROP_BRIGHTNESS BUTTON_PROP_CONTRAST BUTTON_PROP_SATURATION BUTTON_MUTE
BUTTON_MOTION_SETUP PROGRESS_PROPERTY PROGRESS_VIDEO TRACKBAR_BRIGHTNESS TRACKBAR_CONTRAST TRACKBAR_SATURATION
TRACKBAR_VOLUME TEXT_CLOCK TEXT_FUNC TEXT_FILENAME TEXT_STREAMFORMAT""".split()
EVERY_VIEW = ["BUTTON_EXIT", "BUTTON_MINIMIZE", "BUTTON_VIEW_MENU"]
INPUTS = ["BUTTON_INPUT_TUNER", "BUTTON_INPUT_COMPOSITE", "BUTTON_INPUT_SVIDEO", "BUTTON_INPUT_WEBCAM"]
PROPS = ["BUTTON_PROP_VOLUME", "BUTTON_PROP_BRIGHTNESS", "BUTTON_PROP_CONTRAST", "BUTTON_PROP_SATURATION"]
STATE_KEYS = ["Main", "Over", "Down", "On", "Blink", "Disabled", "Volume", "Mute", "Brightness", "Contrast",
              "Saturation"]
BMP_KEYS = ["Main", "Mask", "Over", "Down", "On", "Blink", "Disabled"]
ALL_KEYS = STATE_KEYS + ["Mask", "Slider", "SliderOver"]

problems = []


def fail(msg):
    problems.append(msg)
    print("FAIL:", msg)


def read_ini(path):
    """Sections to ordered key/value lists, values trimmed like the profile calls do."""
    sections, cur = {}, None
    with open(path, "rb") as f:
        raw = f.read()
    for line in raw.decode("latin-1").splitlines():
        s = line.strip()
        if not s or s.startswith(";"):
            continue
        if s.startswith("[") and s.endswith("]"):
            cur = sections.setdefault(s[1:-1].upper(), [])
            continue
        if "=" in s and cur is not None:
            k, v = s.split("=", 1)
            cur.append((k.strip(), v.strip()))
    return sections


def split_fields(value):
    """Comma-separated fields, leading blanks dropped."""
    return [f.lstrip() for f in value.split(",")]


def to_int(s):
    s = s.strip()
    n = ""
    for i, ch in enumerate(s):
        if ch.isdigit() or (i == 0 and ch in "+-"):
            n += ch
        else:
            break
    try:
        return int(n)
    except ValueError:
        return 0


def numbered(entries, where):
    keys = [k for k, _ in entries]
    want = [str(i + 1) for i in range(len(keys))]
    if keys != want:
        fail("%s: keys are %s, expected 1..%d without gaps" % (where, keys, len(keys)))
    for k, v in entries:
        if len(v) > 255:
            fail("%s key %s: value longer than 255 characters" % (where, k))
    return [v for _, v in entries]


def rect_of(fields):
    x, y, w, h = (to_int(f) for f in fields)
    return (x, y, x + w, y + h)


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def inside(r, w, h):
    return r[0] >= 0 and r[1] >= 0 and r[2] <= w and r[3] <= h and r[2] > r[0] and r[3] > r[1]


def is_white(px):
    return px[0] == 255 and px[1] == 255 and px[2] == 255


def check_mask_pixels(im, where):
    """Only pure white counts as outside; nothing inside may come near white either."""
    rgb = im.convert("RGB")
    for px, n in ((px, n) for n, px in rgb.getcolors(1 << 24)):
        if not is_white(px) and min(px) >= 0xEF:
            fail("%s: %d near-white pixels %s would read as outside" % (where, n, px))


def check_view(folder, path, title):
    where = os.path.basename(path)
    ini = read_ini(path)
    for sec in ("IMAGES", "SCREENINFO", "BUTTONINFO", "TEXTINFO", "TRACKBARINFO", "PROGRESSINFO"):
        if sec not in ini:
            fail("%s: section [%s] missing" % (where, sec))
            ini[sec] = []
    imgs = dict(ini["IMAGES"])
    loaded = {}
    for key in ALL_KEYS:
        name = imgs.get(key, "")
        if not name:
            fail("%s: image %s not named" % (where, key))
            continue
        if name.lower().endswith(".png"):
            fail("%s: image %s is a PNG (%s)" % (where, key, name))
        p = os.path.join(folder, name)
        if not os.path.isfile(p):
            fail("%s: image %s file %s missing" % (where, key, name))
            continue
        im = Image.open(p)
        if im.format not in ("BMP", "JPEG", "GIF"):
            fail("%s: %s is %s" % (where, name, im.format))
        if key in BMP_KEYS and (im.format != "BMP" or im.mode != "RGB"):
            fail("%s: %s should be a 24-bit BMP (is %s %s)" % (where, name, im.format, im.mode))
        loaded[key] = im
    if "Main" not in loaded:
        return set()
    W, H = loaded["Main"].size
    for key in STATE_KEYS + ["Mask"]:
        if key in loaded and loaded[key].size != (W, H):
            fail("%s: %s is %s, Main is %s" % (where, key, loaded[key].size, (W, H)))

    mask = loaded.get("Mask")
    if mask:
        mask = mask.convert("RGB")
        check_mask_pixels(mask, where + " Mask")
        for c in ((0, 0), (W - 1, 0), (0, H - 1), (W - 1, H - 1)):
            if not is_white(mask.getpixel(c)):
                fail("%s: Mask corner %s is inside the window (corners should be rounded off)" % (where, c))

    def rect_in_window(r, what):
        if not inside(r, W, H):
            fail("%s: %s rectangle %s outside the %dx%d window" % (where, what, r, W, H))
            return
        if mask:
            m = mask.crop(r)
            if any(is_white(px) for _, px in m.getcolors(1 << 24)):
                fail("%s: %s rectangle %s reaches outside the window shape" % (where, what, r))

    screen = dict(ini["SCREENINFO"]).get("Screen", "")
    if not screen:
        fail("%s: SCREENINFO Screen missing" % where)
        srect = None
    else:
        srect = rect_of(split_fields(screen)[:4])
        rect_in_window(srect, "screen")

    elements = []  # (name, rect, kind)
    for v in numbered(ini["BUTTONINFO"], where + " [BUTTONINFO]"):
        f = split_fields(v)
        name, r = f[0], rect_of(f[1:5])
        rest = f[5:]
        shape = None
        if rest and not rest[0].startswith("TYPE"):
            shape = rest.pop(0)
        if not rest or not rest[0].startswith("TYPE"):
            fail("%s: %s has no type field" % (where, name))
            continue
        typ = rest.pop(0)
        group = None
        if typ == "TYPE_RADIO":
            group = to_int(rest.pop(0)) if rest else None
        tips = rest
        if not tips or not tips[0]:
            fail("%s: %s has no tooltip" % (where, name))
        elif len(tips) != 2:
            fail("%s: %s should carry exactly two tooltips (off, on), has %s" % (where, name, tips))
        for t in tips:
            if t != t.strip():
                fail("%s: %s tooltip %r has stray blanks" % (where, name, t))
        if name in INPUTS:
            if typ != "TYPE_RADIO":
                fail("%s: %s should be TYPE_RADIO" % (where, name))
        elif name == "BUTTON_MUTE":
            if typ != "TYPE_ON_OFF":
                fail("%s: BUTTON_MUTE should be TYPE_ON_OFF" % where)
        elif typ != "TYPE_PUSH":
            fail("%s: %s should be TYPE_PUSH (is %s)" % (where, name, typ))
        if name == "BUTTON_WEBSITE" and not (tips and tips[0].startswith("http://")):
            fail("%s: BUTTON_WEBSITE tooltip must be a URL starting http://" % where)
        if name == "BUTTON_VIEW_MENU" and not shape:
            fail("%s: BUTTON_VIEW_MENU has no shape mask" % where)
        if shape:
            sp = os.path.join(folder, shape)
            if shape.lower().endswith(".png"):
                fail("%s: shape mask %s is a PNG" % (where, shape))
            if not os.path.isfile(sp):
                fail("%s: shape mask %s missing" % (where, shape))
            else:
                sm = Image.open(sp).convert("RGB")
                if sm.size != (r[2] - r[0], r[3] - r[1]):
                    fail("%s: shape mask %s is %s, button is %dx%d" % (where, shape, sm.size, r[2] - r[0],
                                                                         r[3] - r[1]))
                check_mask_pixels(sm, shape)
                sw, sh = sm.size
                if not is_white(sm.getpixel((0, 0))) or is_white(sm.getpixel((sw // 2, sh // 2))):
                    fail("%s: shape mask %s should be white outside, non-white inside" % (where, shape))
        elements.append((name, r, ("button", typ, group)))
    for v in numbered(ini["TEXTINFO"], where + " [TEXTINFO]"):
        f = split_fields(v)
        if len(f) != 12:
            fail("%s: %s has %d fields, text entries have 12" % (where, f[0], len(f)))
            continue
        name, face, bold, italic, height, colour = f[:6]
        r = rect_of(f[6:10])
        if face not in ("Tahoma", "Arial"):
            fail("%s: %s font %s" % (where, name, face))
        if bold not in ("TRUE", "FALSE") or italic not in ("TRUE", "FALSE"):
            fail("%s: %s bold/italic flags %s %s" % (where, name, bold, italic))
        if not (0 <= to_int(colour) <= 0xFFFFFF):
            fail("%s: %s colour %s" % (where, name, colour))
        if r[3] - r[1] < to_int(height):
            fail("%s: %s is %d high for a %s font" % (where, name, r[3] - r[1], height))
        elements.append((name, r, ("text",)))
    for v in numbered(ini["TRACKBARINFO"], where + " [TRACKBARINFO]"):
        f = split_fields(v)
        if len(f) != 8:
            fail("%s: %s has %d fields, trackbar entries have 8" % (where, f[0], len(f)))
            continue
        if f[5] not in ("H", "V"):
            fail("%s: %s orientation %r" % (where, f[0], f[5]))
        r = rect_of(f[1:5])
        for key in ("Slider", "SliderOver"):
            if key in loaded:
                tw, th = loaded[key].size
                if f[5] == "H" and th > r[3] - r[1]:
                    fail("%s: %s thumb %dpx high, trackbar %dpx" % (where, key, th, r[3] - r[1]))
        elements.append((f[0], r, ("trackbar",)))
    for v in numbered(ini["PROGRESSINFO"], where + " [PROGRESSINFO]"):
        f = split_fields(v)
        if len(f) != 7:
            fail("%s: %s has %d fields, progress entries have 7" % (where, f[0], len(f)))
            continue
        if f[5] not in ("H", "V"):
            fail("%s: %s orientation %r" % (where, f[0], f[5]))
        elements.append((f[0], rect_of(f[1:5]), ("progress",)))

    names = [e[0] for e in elements]
    for n in set(names):
        if names.count(n) > 1:
            fail("%s: %s appears %d times" % (where, n, names.count(n)))
    for n in EVERY_VIEW:
        if n not in names:
            fail("%s: %s missing" % (where, n))
    groups = {e[2][2] for e in elements if e[0] in INPUTS}
    if len(groups) > 1:
        fail("%s: input buttons in several radio groups %s" % (where, groups))
    props = [e for e in elements if e[0] in PROPS]
    if props and (len(props) != 4 or len({e[1] for e in props}) != 1):
        fail("%s: the four property buttons must share one rectangle" % where)

    for name, r, _ in elements:
        rect_in_window(r, name)
        if srect and overlap(r, srect):
            fail("%s: %s overlaps the video screen" % (where, name))
    for i, (n1, r1, _) in enumerate(elements):
        for n2, r2, _ in elements[i + 1:]:
            if n1 in PROPS and n2 in PROPS:
                continue
            if overlap(r1, r2):
                fail("%s: %s %s overlaps %s %s" % (where, n1, r1, n2, r2))
    print("%-12s %-11s %dx%d screen %s, %d elements" % (where, title, W, H,
                                                       None if not srect else
                                                       (srect[0], srect[1], srect[2] - srect[0],
                                                        srect[3] - srect[1]), len(elements)))
    return set(names)


def check(root):
    master = os.path.join(root, "skins.ini")
    if not os.path.isfile(master):
        fail("skins.ini missing")
        return
    views = read_ini(master).get("VIEWS", [])
    d = dict(views)
    folder = d.get("FOLDER", "")
    if folder != "Default\\":
        fail("FOLDER is %r" % folder)
    if [k for k, _ in views if k != "FOLDER"] != [str(i + 1) for i in range(len(views) - 1)]:
        fail("view keys are not 1..N")
    seen = set()
    for i in range(1, len(views)):
        v = d.get(str(i), "")
        f = split_fields(v)
        if len(f) != 2 or not f[1]:
            fail("view %d: expected 'file,title', got %r" % (i, v))
        path = os.path.join(root, folder.replace("\\", os.sep) + f[0].replace("\\", os.sep))
        if not os.path.isfile(path):
            fail("view %d: %s missing" % (i, path))
            continue
        seen |= check_view(os.path.dirname(path), path, f[1] if len(f) > 1 else "")
    for n in REQUIRED:
        if n not in seen:
            fail("no view carries %s" % n)
    for dirpath, _, files in os.walk(root):
        for fn in files:
            if fn.lower().endswith(".png"):
                fail("PNG file in the skin: %s" % os.path.join(dirpath, fn))


def regenerate_and_compare():
    gen = os.path.join(HERE, "make_skin.py")
    with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
        for out in (a, b):
            subprocess.run([sys.executable, gen, "--out", out], check=True)
        for rel in ["skins.ini"] + ["Default/" + n for n in sorted(os.listdir(os.path.join(a, "Default")))]:
            pa, pb, pc = os.path.join(a, rel), os.path.join(b, rel), os.path.join(HERE, rel)
            if not filecmp.cmp(pa, pb, shallow=False):
                fail("two runs of make_skin.py differ in %s" % rel)
            if not os.path.isfile(pc) or not filecmp.cmp(pa, pc, shallow=False):
                fail("committed %s differs from what make_skin.py draws" % rel)
        committed = set(os.listdir(os.path.join(HERE, "Default")))
        drawn = set(os.listdir(os.path.join(a, "Default")))
        for extra in sorted(committed - drawn):
            fail("Default/%s is not drawn by make_skin.py" % extra)


def main():
    check(HERE)
    if "--regen" in sys.argv:
        regenerate_and_compare()
    total = 0
    for dirpath, _, files in os.walk(os.path.join(HERE, "Default")):
        total += sum(os.path.getsize(os.path.join(dirpath, f)) for f in files)
    print("skin files: %.1f MB" % (total / 1e6))
    if problems:
        print("%d problem(s)" % len(problems))
        return 1
    print("skin OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
