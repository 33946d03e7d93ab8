#!/usr/bin/python3
"""Reads the recordings the media tests left behind with ffprobe and checks what a player would see:
the streams, the picture size, the frame rate, and frame and sample counts that match the duration."""
import json
import os
import subprocess
import sys

# file name -> (seconds recorded at least, with audio)
EXPECTED = {
    "RecordWithAudioTwiceThenPreviewAgain.avi": (3.0, True),
    "RecordAgain.avi": (2.0, True),
    "PreallocatedFileKeepsItsSizeAndTakesTheRecording.avi": (1.5, True),
    "RecordingSaysSoOnceAndRecordsVideo.avi": (1.5, False),
    # From the end-to-end scenarios: stopped by the time limit, and cut by an unplugged device.
    "TheTimeLimitStopsARecording.avi": (3.0, True),
    "AnUnpluggedDeviceEndsARecordingWithAPlayableFile.avi": (2.0, True),
}


def probe(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-count_packets", "-show_streams",
                          "-show_format", "-of", "json", path], capture_output=True, text=True, check=True)
    return json.loads(out.stdout)


def check(path, seconds, audio):
    info = probe(path)
    streams = info["streams"]
    video = [s for s in streams if s["codec_type"] == "video"]
    sound = [s for s in streams if s["codec_type"] == "audio"]
    problems = []
    if len(video) != 1:
        return [f"{len(video)} video streams"]
    v = video[0]
    if (v["width"], v["height"]) != (640, 480):
        problems.append(f"picture {v['width']}x{v['height']}")
    num, den = (int(x) for x in v["r_frame_rate"].split("/"))
    if abs(num / den - 30) > 0.5:
        problems.append(f"frame rate {v['r_frame_rate']}")
    frames = int(v.get("nb_read_frames", 0))
    duration = frames / 30.0
    # Recording starts a moment after Run and stops a moment after the wait: allow for both.
    if not (seconds * 0.6 <= duration <= seconds + 2.0):
        problems.append(f"{frames} frames for about {seconds} s")
    if audio:
        if len(sound) != 1:
            problems.append(f"{len(sound)} audio streams")
        else:
            a = sound[0]
            rate = int(a["sample_rate"])
            if a["codec_name"] != "pcm_s16le" or rate != 48000 or int(a["channels"]) != 2:
                problems.append(f"audio {a['codec_name']} {rate} Hz {a['channels']} ch")
            # The header's sample count, which a player uses for the sound's length.
            audio_seconds = int(a.get("nb_frames", 0) or 0) / rate
            if abs(audio_seconds - duration) > 1.0:
                problems.append(f"audio lasts {audio_seconds:.2f} s, video {duration:.2f} s")
    elif sound:
        problems.append("audio stream without an audio device")
    return problems


def main():
    folder = sys.argv[1]
    failed = 0
    passed = 0
    for name, (seconds, audio) in EXPECTED.items():
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            print(f"MISSING {name}")
            failed += 1
            continue
        problems = check(path, seconds, audio)
        if problems:
            print(f"FAIL {name}: " + "; ".join(problems))
            failed += 1
        else:
            print(f"ok {name}")
            passed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
