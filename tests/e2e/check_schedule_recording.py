#!/usr/bin/python3
"""Reads the recording the schedule's end-to-end test left behind with ffprobe: one video stream of the
smallest capture size that lasts the entry's one minute."""
import json
import subprocess
import sys


def main():
    path = sys.argv[1]
    out = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-show_streams", "-show_format", "-of", "json",
                          path], capture_output=True, text=True)
    if out.returncode != 0:
        print(f"FAIL ffprobe cannot read {path}: {out.stderr.strip()}")
        return 1
    info = json.loads(out.stdout)
    video = [s for s in info["streams"] if s["codec_type"] == "video"]
    if len(video) != 1:
        print(f"FAIL {len(video)} video streams")
        return 1
    v = video[0]
    problems = []
    if (v["width"], v["height"]) != (160, 120):
        problems.append(f"picture {v['width']}x{v['height']}")
    seconds = float(info["format"].get("duration", 0))
    frames = int(v.get("nb_read_frames", 0))
    if not 55.0 <= seconds <= 65.0:
        problems.append(f"lasts {seconds:.1f} s")
    if not 55 * 30 * 0.9 <= frames <= 65 * 30:
        problems.append(f"{frames} frames")
    if problems:
        print("FAIL " + "; ".join(problems))
        return 1
    print(f"ok {seconds:.1f} s, {frames} frames")
    return 0


if __name__ == "__main__":
    sys.exit(main())
