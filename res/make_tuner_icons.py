#!/usr/bin/python3
"""Draws the icons of the TV tuner window's buttons (tv_*.ico).

Run from this folder: python3 make_tuner_icons.py. The outputs are committed beside it.
Needs python3-pil.
"""
from PIL import Image, ImageDraw

INK = (20, 40, 60, 255)
TEAL = (0, 150, 160, 255)
RED = (200, 50, 50, 255)


def canvas():
    s = 64
    return Image.new("RGBA", (s, s), (0, 0, 0, 0)), s


def plus(colour):
    img, s = canvas()
    d = ImageDraw.Draw(img)
    d.rectangle((s * 0.42, s * 0.15, s * 0.58, s * 0.85), fill=colour)
    d.rectangle((s * 0.15, s * 0.42, s * 0.85, s * 0.58), fill=colour)
    return img


def minus(colour):
    img, s = canvas()
    ImageDraw.Draw(img).rectangle((s * 0.15, s * 0.42, s * 0.85, s * 0.58), fill=colour)
    return img


def insert_arrows():
    img, s = canvas()
    d = ImageDraw.Draw(img)
    for left in (0.12, 0.45):
        x = s * left
        d.polygon([(x, s * 0.2), (x + s * 0.38, s * 0.5), (x, s * 0.8)], fill=TEAL)
    return img


def remove_cross():
    img, s = canvas()
    d = ImageDraw.Draw(img)
    d.line((s * 0.2, s * 0.2, s * 0.8, s * 0.8), fill=RED, width=int(s * 0.14))
    d.line((s * 0.2, s * 0.8, s * 0.8, s * 0.2), fill=RED, width=int(s * 0.14))
    return img


def main():
    icons = {
        "tv_in_list.ico": remove_cross(),        # the channel is listed: the button removes it
        "tv_not_in_list.ico": insert_arrows(),   # not listed: the button inserts it
        "tv_channel_up.ico": plus(INK),
        "tv_channel_down.ico": minus(INK),
        "tv_list_next.ico": plus(TEAL),
        "tv_list_previous.ico": minus(TEAL),
    }
    for name, img in icons.items():
        img.save(name, sizes=[(16, 16), (32, 32)], bitmap_format="bmp")


if __name__ == "__main__":
    main()
