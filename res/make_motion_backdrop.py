#!/usr/bin/python3
"""Draws the backdrop frame behind the motion setup dialog's live picture (motion_backdrop.bmp):
a dark bevelled panel large enough for the largest picture (360 x 288) with a margin."""
from PIL import Image, ImageDraw

W, H = 368, 296
img = Image.new("RGB", (W, H), (40, 44, 52))
d = ImageDraw.Draw(img)
for i in range(4):
    light = 120 - i * 18
    dark = 16 + i * 4
    d.line([(i, H - 1 - i), (i, i), (W - 1 - i, i)], fill=(light, light, light + 8))
    d.line([(W - 1 - i, i), (W - 1 - i, H - 1 - i), (i, H - 1 - i)], fill=(dark, dark, dark))
img.convert("P", palette=Image.ADAPTIVE, colors=16).save("motion_backdrop.bmp")
