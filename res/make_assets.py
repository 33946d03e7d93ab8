#!/usr/bin/python3
"""Draws the program icon (lumetra.ico) and synthesises the shutter sound (shutter.wav).

Run from this folder: python3 make_assets.py. The outputs are committed beside it.
Needs python3-pil and sox.
"""
import subprocess
from PIL import Image, ImageDraw


def draw_icon(size):
    s = size * 4  # draw large, then scale down for smooth edges
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    # Rounded camera body.
    d.rounded_rectangle((s * 0.06, s * 0.22, s * 0.94, s * 0.86), radius=s * 0.14, fill=(32, 38, 52, 255))
    d.rounded_rectangle((s * 0.30, s * 0.12, s * 0.58, s * 0.26), radius=s * 0.05, fill=(32, 38, 52, 255))
    # Lens: concentric rings in the brand teal, with a highlight.
    cx, cy, r = s * 0.5, s * 0.54, s * 0.26
    d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(235, 240, 245, 255))
    r2 = r * 0.8
    d.ellipse((cx - r2, cy - r2, cx + r2, cy + r2), fill=(0, 150, 160, 255))
    r3 = r * 0.45
    d.ellipse((cx - r3, cy - r3, cx + r3, cy + r3), fill=(10, 40, 60, 255))
    hl = r * 0.18
    d.ellipse((cx - r3 * 0.6 - hl, cy - r3 * 0.6 - hl, cx - r3 * 0.6 + hl, cy - r3 * 0.6 + hl),
              fill=(255, 255, 255, 220))
    # Recording light.
    d.ellipse((s * 0.76, s * 0.30, s * 0.86, s * 0.40), fill=(230, 50, 50, 255))
    return img.resize((size, size), Image.LANCZOS)


def main():
    sizes = [16, 24, 32, 48, 64, 256]
    big = draw_icon(256)
    big.save("lumetra.ico", sizes=[(n, n) for n in sizes])
    # A short mechanical click: two bursts of filtered noise with a fast decay.
    subprocess.run(["sox", "-n", "-r", "22050", "-c", "1", "-b", "16", "click1.wav",
                    "synth", "0.035", "brownnoise", "fade", "q", "0.002", "0.035", "0.03",
                    "highpass", "900", "gain", "-3"], check=True)
    subprocess.run(["sox", "-n", "-r", "22050", "-c", "1", "-b", "16", "click2.wav",
                    "synth", "0.06", "pinknoise", "fade", "q", "0.002", "0.06", "0.05",
                    "highpass", "500", "gain", "-6"], check=True)
    subprocess.run(["sox", "click1.wav", "-p", "pad", "0", "0.05"], check=True, stdout=open("c1.sox", "wb"))
    subprocess.run(["sox", "c1.sox", "click2.wav", "shutter.wav", "norm", "-2"], check=True)
    for f in ("click1.wav", "click2.wav", "c1.sox"):
        import os
        os.remove(f)


if __name__ == "__main__":
    main()
