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
            "recording_settings", "snapshot_popup", "still_settings", "video_standard", "tuner_window",
            "motion_setup", "internet_destination", "recording_schedule"]

# What the labelled picture calls each element of the default skin. Elements with the same label
# (the four inputs, say) share it; the selected-setting buttons lie on one another and are named once.
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
    "BUTTON_INPUT_TUNER": "Inputs: TV, composite, S-Video, webcam",
    "BUTTON_INPUT_COMPOSITE": "Inputs: TV, composite, S-Video, webcam",
    "BUTTON_INPUT_SVIDEO": "Inputs: TV, composite, S-Video, webcam",
    "BUTTON_INPUT_WEBCAM": "Inputs: TV, composite, S-Video, webcam",
    "BUTTON_XBAR": "Input routing",
    "BUTTON_DEVICE_PROPERTY": "Device picture settings",
    "BUTTON_CAPTURE_SIZE": "Capture size",
    "BUTTON_CYCLE_PREV": "Previous / next setting",
    "BUTTON_CYCLE_NEXT": "Previous / next setting",
    "BUTTON_PROP_VOLUME": "Selected setting",
    "BUTTON_MUTE": "Mute",
    "BUTTON_CYCLE_DOWN": "Decrease / increase",
    "BUTTON_CYCLE_UP": "Decrease / increase",
    "PROGRESS_PROPERTY": "Level of the selected setting",
    "BUTTON_VIDCAP_SETUP": "Recording settings",
    "BUTTON_SNAPSHOT_SETUP": "Snapshot settings",
    "BUTTON_MOTION_SETUP": "Motion detection",
    "TEXT_FUNC": "Mode: MONITOR, REC or PLAY",
    "TEXT_CLOCK": "Clock",
    "TEXT_FILENAME": "File recorded or played",
    "TEXT_STREAMFORMAT": "Picture size",
    "TRACKBAR_BRIGHTNESS": "Levels of the four settings",
    "TRACKBAR_CONTRAST": "Levels of the four settings",
    "TRACKBAR_SATURATION": "Levels of the four settings",
    "TRACKBAR_VOLUME": "Levels of the four settings",
    "PROGRESS_VIDEO": "Playback position",
}
SKIPPED = {"BUTTON_PROP_BRIGHTNESS", "BUTTON_PROP_CONTRAST", "BUTTON_PROP_SATURATION"}

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
LEFT, RIGHT = 230, 315  # label columns beside the picture
PAD = 40           # space above and below the picture
LINE_GAP = 22      # least distance between two labels
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
    """Label positions near the wanted ones (in order), at least LINE_GAP apart, within top..bottom."""
    placed = list(wanted)
    for i in range(len(placed)):
        placed[i] = max(placed[i], top if i == 0 else placed[i - 1] + LINE_GAP)
    for i in reversed(range(len(placed))):
        placed[i] = min(placed[i], bottom if i == len(placed) - 1 else placed[i + 1] - LINE_GAP)
    for i in range(len(placed)):
        placed[i] = max(placed[i], top if i == 0 else placed[i - 1] + LINE_GAP)
    return placed


def labelled(picture, view_file):
    w, h = picture.size
    canvas = Image.new("RGB", (LEFT + w + RIGHT, h + 2 * PAD), "white")
    canvas.paste(picture, (LEFT, PAD))
    draw = ImageDraw.Draw(canvas)
    font = ImageFont.truetype(FONT, 14)
    # label -> the points it names, in canvas coordinates
    groups = {}
    for name, (x, y, ew, eh) in element_rects(view_file):
        if name in SKIPPED:
            continue
        point = (LEFT + x + ew // 2, PAD + y + eh // 2)
        if name == "SCREEN":
            point = (LEFT + x + ew // 6, PAD + y + eh // 3)
        groups.setdefault(LABELS.get(name, name), []).append(point)
    sides = {"left": [], "right": []}
    for label, points in groups.items():
        cx = sum(p[0] for p in points) / len(points)
        cy = sum(p[1] for p in points) / len(points)
        # Labels of elements in one row stack with the farthest one highest, so that lines do not cross.
        if cx - LEFT < w * 0.6:
            sides["left"].append((cy, -cx, label, points))
        else:
            sides["right"].append((cy, cx, label, points))
    for side, items in sides.items():
        items.sort()
        ys = spread([item[0] for item in items], 12, canvas.size[1] - 12)
        for (_, _, label, points), ly in zip(items, ys):
            text_w = draw.textlength(label, font=font)
            if side == "left":
                tx, end = LEFT - 16 - text_w, LEFT - 10
            else:
                tx, end = LEFT + w + 16, LEFT + w + 10
            for cx, cy in points:
                draw.line([(cx, cy), (end, ly)], fill=(0, 0, 0), width=3)
                draw.line([(cx, cy), (end, ly)], fill=LEAD, width=1)
            for cx, cy in points:
                draw.ellipse([cx - 3, cy - 3, cx + 3, cy + 3], fill=LEAD, outline=(0, 0, 0))
            draw.text((tx, ly - 9), label, fill=INK, font=font)
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
