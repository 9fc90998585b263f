#!/usr/bin/env bash
# Takes photos in the running program and prints its memory after the last against after the
# first: the release program in its window on a virtual display, the volume key pressed once per
# photo, each next press only once the photo's file is in the library and the program has paused.
#
#   bash bench/photo_memory.sh [BINARY] [PHOTOS]
#
# BINARY defaults to build/release/main/korva, PHOTOS to 20. The environment passes on:
# KORVA_CAMERA (default synthetic), CPUS (the processors the program may use, default all of this
# process's), PAUSE (seconds from a photo's file to the memory reading and the next press,
# default 5), WARMUP (seconds before the first photo, default 8), KEEP=DIR to keep the program's
# log and the photo library there.
#
# Memory is VmRSS late in each pause, once the program's thumbnail of the newest photo is drawn
# and its allocator trimmed; the target is at most 1.15 times the reading after the first
# photo, whatever the number of processors (the dispatch pool has one worker per processor, 2 to
# 8, and each may decode a photo).
set -euo pipefail
binary=${1:-build/release/main/korva}
photos=${2:-20}
cpus=${CPUS:-$(taskset -pc $$ | sed 's/.*: //')}
pause=${PAUSE:-5}
warmup=${WARMUP:-8}
. "$(dirname "$0")/program_display.sh"
require_display_tools
work=${KEEP:-$(mktemp -d)}
mkdir -p "$work"
cleanup() {
    stop_program_display
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
start_program_display 191 240

rss_mb() { awk '/VmRSS/ { printf "%.0f", $2 / 1024 }' "/proc/$app/status"; }
saved() { find "$work/library" -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | wc -l; }
workers=$(taskset -c "$cpus" nproc)
printf "camera %s, processors %s (%s), start %s MB after %s s\n" "${KORVA_CAMERA:-synthetic}" "$cpus" "$workers" \
    "$(rss_mb)" "$warmup"
# The volume key goes through the X test extension to the focused window: the pointer on the
# picture and a tap there first (it only sets the focus point).
DISPLAY=$display xdotool mousemove --window "$window" 100 300 click 1
sleep 1
first=""
for k in $(seq "$photos"); do
    before=$(saved)
    DISPLAY=$display xdotool key plus
    for _ in $(seq 300); do [ "$(saved)" -gt "$before" ] && break; sleep 0.1; done
    [ "$(saved)" -gt "$before" ] || { echo "photo $k made no file" >&2; exit 1; }
    # The lowest of the readings in the pause's last three seconds: the live picture's frames come
    # and go in steps of half a 4K frame, and this is what the program holds between them.
    sleep "$(awk -v p="$pause" 'BEGIN { print (p > 3 ? p - 3 : 0) }')"
    r=""
    for _ in $(seq 6); do
        kill -0 "$app" 2>/dev/null || { echo "the program ended:" >&2; tail -20 "$work/app.log" >&2; exit 1; }
        m=$(rss_mb)
        if [ -z "$r" ] || [ "$m" -lt "$r" ]; then r=$m; fi
        sleep 0.5
    done
    [ -n "$first" ] || first=$r
    printf "photo %2d: %4s MB\n" "$k" "$r"
done
awk -v a="$first" -v b="$r" -v n="$photos" -v w="$workers" 'BEGIN {
    printf "memory after photo %d / after photo 1 (%d processors): %d / %d MB = %.3f  (target <= 1.15: %s)\n",
        n, w, b, a, b / a, (b / a <= 1.15 ? "met" : "NOT MET")
}'
