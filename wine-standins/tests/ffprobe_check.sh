#!/usr/bin/env bash
# Reads every recording the Wine tests left in DIR with Debian's ffprobe and compares stream types,
# sizes, frame rate and packet/sample counts with the recording's .expect file
# (lines "video=codec,width,height,rate,frames" and "audio=codec,rate,channels,samples").
set -uo pipefail
dir="${1:?usage: ffprobe_check.sh DIR}"
shopt -s nullglob
expects=("$dir"/*.expect)
[ ${#expects[@]} -gt 0 ] || { echo "no recordings in $dir"; exit 1; }
failed=0
for expect in "${expects[@]}"; do
  file="${expect%.expect}"
  if [ ! -f "$file" ]; then echo "FAIL $file: missing"; failed=1; continue; fi
  got=$(ffprobe -v error -count_packets -show_entries \
        stream=codec_type,codec_name,width,height,r_frame_rate,nb_read_packets,sample_rate,channels \
        -of csv=p=0:nk=0 "$file" 2>&1)
  video_got=$(grep 'codec_type=video' <<<"$got" | head -1)
  audio_got=$(grep 'codec_type=audio' <<<"$got" | head -1)
  field() { tr ',' '\n' <<<"$1" | sed -n "s/^$2=//p" | head -1; }
  while IFS='=' read -r kind values; do
    case "$kind" in
      video)
        IFS=',' read -r codec w h rate frames <<<"$values"
        actual="$(field "$video_got" codec_name),$(field "$video_got" width),$(field "$video_got" height),$(field "$video_got" r_frame_rate),$(field "$video_got" nb_read_packets)"
        ;;
      audio)
        IFS=',' read -r codec rate channels samples <<<"$values"
        # 16-bit PCM: the sample count is the sum of the audio packet sizes over the block size.
        bytes=$(ffprobe -v error -select_streams a:0 -show_entries packet=size -of csv=p=0 "$file" | awk '{s+=$1} END {print s+0}')
        got_channels=$(field "$audio_got" channels)
        actual="$(field "$audio_got" codec_name),$(field "$audio_got" sample_rate),$got_channels,$((bytes / (2 * ${got_channels:-1})))"
        ;;
      *) continue ;;
    esac
    if [ "$actual" = "$values" ]; then
      echo "ok   $(basename "$file") $kind $actual"
    else
      echo "FAIL $(basename "$file") $kind: expected $values, ffprobe says $actual"
      echo "$got"
      failed=1
    fi
  done < <(tr -d '\r' <"$expect")
  # Audio and video cover the same time (within a quarter of a second).
  vs=$(awk -F, -v r="$(field "$video_got" r_frame_rate)" -v n="$(field "$video_got" nb_read_packets)" \
       'BEGIN { split(r, q, "/"); if (q[1] > 0) printf "%.3f", n * q[2] / q[1] }')
  if [ -n "$audio_got" ] && [ -n "${bytes:-}" ]; then
    as=$(awk -v b="$bytes" -v c="$(field "$audio_got" channels)" -v r="$(field "$audio_got" sample_rate)" \
         'BEGIN { printf "%.3f", b / (2 * c) / r }')
    if awk -v a="$as" -v v="$vs" 'BEGIN { d = a - v; exit !(d < 0.25 && d > -0.25) }'; then
      echo "ok   $(basename "$file") durations video ${vs}s audio ${as}s"
    else
      echo "FAIL $(basename "$file") durations differ: video ${vs}s audio ${as}s"
      failed=1
    fi
  fi
  unset bytes
  # Large recordings go once checked, whatever the outcome.
  if grep -q '^delete=1' <(tr -d '\r' <"$expect"); then rm -f "$file" "$expect"; fi
done
exit $failed
