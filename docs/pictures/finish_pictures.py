#!/usr/bin/python3
"""Turns the raw screen pictures of lumetra_guide_pictures.exe into the guide's PNG files.

Every picture of PICTURES must be there (or the one named by --only); each becomes <name>.png.
The main window also becomes main_window_labelled.png: every element of the skin's main view
named beside the picture, with a line to where it is (positions read from the view file).
Needs python3-pil and the DejaVu fonts.
"""
import argparse
import configparser
import os
import sys

from PIL import Image, ImageDraw, ImageFont

# The pictures the guide uses, in the order of guide_pictures.cpp.
PICTURES = ["main_window", "compact_view", "view_menu", "picture_size_menu", "recording", "playback",
            "recording_settings"]

# What the labelled picture calls each element of the default skin. Elements that share a place
# with another (the selected-setting buttons) are named once.
LABELS = {
    "SCREEN": "Live picture",
    "BUTTON_VIEW_MENU": "Views and full screen",
    "BUTTON_WEBSITE": "Web site",
    "BUTTON_MINIMIZE": "Minimise",
    "BUTTON_EXIT": "Exit",
    "BUTTON_VIDCAP": "Record",
    "BUTTON_VIDPLAY": "Play the last recording",
    "BUTTON_VIDPAUSE": "Pause / resume",
    "BUTTON_VIDSTOP": "Stop",
    "BUTTON_SNAPSHOT": "Snapshot",
    "BUTTON_VID_FILE": "Recording file",
    "BUTTON_SNAP_FILE": "Snapshot file",
    "BUTTON_INPUT_TUNER": "TV tuner input",
    "BUTTON_INPUT_COMPOSITE": "Composite input",
    "BUTTON_INPUT_SVIDEO": "S-Video input",
    "BUTTON_INPUT_WEBCAM": "Webcam input",
    "BUTTON_XBAR": "Input routing",
    "BUTTON_DEVICE_PROPERTY": "Device picture settings",
    "BUTTON_CAPTURE_SIZE": "Capture size",
    "BUTTON_CYCLE_PREV": "Previous setting",
    "BUTTON_PROP_VOLUME": "Selected setting",
    "BUTTON_CYCLE_NEXT": "Next setting",
    "BUTTON_MUTE": "Mute",
    "BUTTON_CYCLE_DOWN": "Decrease",
    "BUTTON_CYCLE_UP": "Increase",
    "BUTTON_VIDCAP_SETUP": "Recording settings",
    "BUTTON_SNAPSHOT_SETUP": "Snapshot settings",
    "BUTTON_MOTION_SETUP": "Motion detection",
    "TEXT_FUNC": "Mode: MONITOR, REC or PLAY",
    "TEXT_CLOCK": "Clock",
    "TEXT_FILENAME": "File recorded or played",
    "TEXT_STREAMFORMAT": "Picture size",
    "TRACKBAR_BRIGHTNESS": "Brightness",
    "TRACKBAR_CONTRAST": "Contrast",
    "TRACKBAR_SATURATION": "Saturation",
    "TRACKBAR_VOLUME": "Volume",
    "PROGRESS_PROPERTY": "Level of the selected setting",
    "PROGRESS_VIDEO": "Playback position",
}
SKIPPED = {"BUTTON_PROP_BRIGHTNESS", "BUTTON_PROP_CONTRAST", "BUTTON_PROP_SATURATION"}

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
MARGIN = 250       # label column on each side
PAD = 36           # space above and below the picture
LINE_GAP = 19      # least distance between two labels
INK = (20, 20, 20)
LEAD = (230, 120, 0)


def fail(message):
    print("finish_pictures: " + message, file=sys.stderr)
    sys.exit(1)


def element_rects(view_file):
    """(name, (x, y, w, h)) of every element of a view file, and of its video screen."""
    ini = configparser.RawConfigParser(strict=False)
    ini.optionxform = str
    with open(view_file, encoding="latin-1") as f:
        ini.read_file(f)
    found = []
    if ini.has_option("SCREENINFO", "Screen"):
        found.append(("SCREEN", tuple(int(v) for v in ini.get("SCREENINFO", "Screen").split(",")[:4])))
    for section, first in (("BUTTONINFO", 1), ("TEXTINFO", 6), ("TRACKBARINFO", 1), ("PROGRESSINFO", 1)):
        if not ini.has_section(section):
            continue
        for _, value in ini.items(section):
            fields = [f.strip() for f in value.split(",")]
            found.append((fields[0], tuple(int(v) for v in fields[first:first + 4])))
    return found


def spread(wanted, top, bottom):
    """Label positions near the wanted ones, at least LINE_GAP apart, within top..bottom."""
    placed = []
    for y in wanted:
        placed.append(max(y, placed[-1] + LINE_GAP) if placed else max(y, top))
    overflow = placed[-1] - bottom if placed else 0
    if overflow > 0:
        placed = [y - overflow for y in placed]
        for i in range(1, len(placed)):
            placed[i] = max(placed[i], placed[i - 1] + LINE_GAP)
    return placed


def labelled(picture, view_file):
    w, h = picture.size
    canvas = Image.new("RGB", (w + 2 * MARGIN, h + 2 * PAD), "white")
    canvas.paste(picture, (MARGIN, PAD))
    draw = ImageDraw.Draw(canvas)
    font = ImageFont.truetype(FONT, 13)
    sides = {"left": [], "right": []}
    for name, (x, y, ew, eh) in element_rects(view_file):
        if name in SKIPPED:
            continue
        label = LABELS.get(name, name)
        cx, cy = MARGIN + x + ew // 2, PAD + y + eh // 2
        if name == "SCREEN":
            cx, cy = MARGIN + x + ew // 4, PAD + y + eh // 4
        sides["left" if x + ew / 2 < w * 0.6 else "right"].append((cy, cx, label))
    for side, items in sides.items():
        items.sort()
        ys = spread([cy for cy, _, _ in items], 8, canvas.size[1] - 16)
        for (cy, cx, label), ly in zip(items, ys):
            text_w = draw.textlength(label, font=font)
            if side == "left":
                tx, end = MARGIN - 14 - text_w, MARGIN - 8
            else:
                tx, end = MARGIN + w + 14, MARGIN + w + 8
            draw.line([(cx, cy), (end, ly)], fill=(0, 0, 0), width=3)
            draw.line([(cx, cy), (end, ly)], fill=LEAD, width=1)
            draw.ellipse([cx - 3, cy - 3, cx + 3, cy + 3], fill=LEAD, outline=(0, 0, 0))
            draw.text((tx, ly - 8), label, fill=INK, font=font)
    return canvas


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--raw", required=True, help="folder with the pictures as BMP files")
    parser.add_argument("--out", required=True, help="folder for the PNG files")
    parser.add_argument("--skin", required=True, help="the main view file of the skin (Full.ini)")
    parser.add_argument("--only", default="*", help="one picture's name; * for all")
    args = parser.parse_args()

    names = PICTURES if args.only == "*" else [args.only]
    for name in names:
        raw = os.path.join(args.raw, name + ".bmp")
        if not os.path.isfile(raw):
            fail("no picture %s (its scene failed or is missing from guide_pictures.cpp)" % name)
        picture = Image.open(raw).convert("RGB")
        colours = picture.getcolors(maxcolors=1 << 16)
        if colours is not None and len(colours) < 16:
            fail("%s is nearly blank (%d colours)" % (name, len(colours)))
        picture.save(os.path.join(args.out, name + ".png"), optimize=True)
        if name == "main_window":
            labelled(picture, args.skin).save(os.path.join(args.out, "main_window_labelled.png"), optimize=True)
        print("finish_pictures: %s.png" % name)


if __name__ == "__main__":
    main()
