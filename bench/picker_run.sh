#!/usr/bin/env bash
# Runs the application in its window on a virtual display with a library of PHOTOS photos, opens
# the photo picker from the camera screen's library button and drags its grid up and down for
# SECONDS, then prints the window host's own figures for the drag (frames shown per second, the
# main thread's busy share, input to frame) and the main thread's and the process's processor
# share.
#
#   bash bench/picker_run.sh [BINARY] [SECONDS]
#
# BINARY defaults to build/release/main/korva (make build-release builds it). The environment passes
# on: PHOTOS (default 300), CPUS (the processors the program may use, default 0,1), STARTUP
# (seconds for the program to start, default 8), WARMUP (seconds between opening the picker and
# the drag, default 3). The photos are 2160 x 2880 JPEGs
# made by ffmpeg (24 distinct pictures, linked under PHOTOS names with times of their own); the
# library's index is made by a headless start of the program before the measured one.
set -euo pipefail
binary=${1:-build/release/main/korva}
seconds=${2:-10}
cpus=${CPUS:-0,1}
photos=${PHOTOS:-300}
. "$(dirname "$0")/program_display.sh"
require_display_tools
command -v ffmpeg >/dev/null || { echo "ffmpeg is missing (make bench installs it)" >&2; exit 1; }
work=$(mktemp -d)
cleanup() {
    stop_program_display
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/photos" "$work/prepared"
ffmpeg -v error -f lavfi -i "testsrc2=size=2160x2880:rate=1,noise=alls=10:allf=t" -frames:v 24 -q:v 4 \
    "$work/photos/photo-%02d.jpg"
base=$(date +%s)
for i in $(seq 0 $((photos - 1))); do
    name=$(printf 'IMG_%05d.JPG' "$i")
    ln "$work/photos/photo-$(printf '%02d' $((i % 24 + 1))).jpg" "$work/prepared/$name"
done
# Links share one file time (the index's date for each): the grid shows them in the index's order.
touch -d "@$base" "$work/prepared"/IMG_*.JPG
# The index, made once by a headless start (the program keeps it between runs).
KORVA_HOST=headless KORVA_DATA_DIR="$work/data" KORVA_LIBRARY_DIR="$work/prepared" KORVA_CAMERA=synthetic \
    timeout 600 "$binary" >"$work/index.log" 2>&1 || true
PROGRAM_LIBRARY="$work/prepared"
warmup=${STARTUP:-8}
start_program_display 90 140

eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
px() { echo $(($1 * WIDTH / 390)); }
py() { echo $(($1 * HEIGHT / 844)); }
# The library button, left of the shutter.
DISPLAY=$display xdotool mousemove --window "$window" "$(px 70)" "$(py 700)" click 1
sleep "${WARMUP:-3}"

ticks=$(getconf CLK_TCK)
cpu_of() { awk '{ print $14 + $15 }' "$1"; }
start_lines=$(wc -l <"$work/app.log")
p0=$(cpu_of "/proc/$app/stat")
m0=$(cpu_of "/proc/$app/task/$app/stat")
t0=$(date +%s.%N)
end=$(($(date +%s) + seconds))
direction=up
drags=0
while [ "$(date +%s)" -lt "$end" ]; do
    # A drag of 400 points in 20 steps, about a third of a second; six down the grid, six back.
    if [ "$direction" = up ]; then from=650; to=250; else from=250; to=650; fi
    DISPLAY=$display xdotool mousemove --window "$window" "$(px 195)" "$(py "$from")" mousedown 1
    for s in $(seq 1 20); do
        y=$((from + (to - from) * s / 20))
        DISPLAY=$display xdotool mousemove --window "$window" "$(px 195)" "$(py "$y")"
        sleep 0.015
    done
    DISPLAY=$display xdotool mouseup 1
    drags=$((drags + 1))
    if [ $((drags % 6)) = 0 ]; then
        if [ "$direction" = up ]; then direction=down; else direction=up; fi
    fi
    sleep 0.1
done
p1=$(cpu_of "/proc/$app/stat")
m1=$(cpu_of "/proc/$app/task/$app/stat")
t1=$(date +%s.%N)
tail -n +"$((start_lines + 1))" "$work/app.log" | grep "frames:" >"$work/frames.log" || true
echo "picker over $photos photos, processors $cpus, $drags drags in ${seconds} s"
awk -v p0="$p0" -v p1="$p1" -v m0="$m0" -v m1="$m1" -v t0="$t0" -v t1="$t1" -v hz="$ticks" 'BEGIN {
    wall = t1 - t0
    printf "  process CPU %.2f cores, main thread %.0f %% of one core\n", (p1 - p0) / hz / wall, 100 * (m1 - m0) / hz / wall }'
awk '{
    for (i = 1; i <= NF; ++i) {
        if ($(i) == "frames/s,") { f += $(i - 1); n++ }
        if ($(i) == "busy") { b += $(i + 1) + 0 }
    }
} END {
    if (n == 0) { print "  no frame figures were written (is the window host running?)"; exit }
    printf "  %.1f frames/s, main thread busy %.0f %% (means of %d reports)\n", f / n, b / n, n
}' "$work/frames.log"
sed 's/^/  /' "$work/frames.log" | tail -6
