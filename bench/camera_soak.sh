#!/usr/bin/env bash
# A scripted run of the camera screen: the release program in its window on a virtual display,
# driven with xdotool for a given time (pop-ups opened and closed, looks changed, photos taken),
# its memory, CPU and the window host's frame figures sampled at a fixed interval. Prints a table
# and whether memory grew.
#
#   bash bench/camera_soak.sh [BINARY] [MINUTES]
#
# BINARY defaults to build/release/main/korva, MINUTES to 30. The environment passes on:
# INTERVAL (seconds between samples, default 60), KORVA_CAMERA (default synthetic), CPUS (the
# processors the program may use, default 0,1), WARMUP (seconds before the first sample, default
# 8), KEEP=DIR to keep the program's log and the photo library there.
#
# Memory is read every second; each line of the table gives the lowest reading of its interval
# (what the program holds between bursts of work) and the highest. Memory counts as steady when
# the highest of the lowest readings in the run's second half is at most 16 MB (half a 4K camera
# frame, the unit in which the frame pool grows and shrinks) above the highest in the first half;
# the first half already holds every pop-up opened at least once.
set -euo pipefail
binary=${1:-build/release/main/korva}
minutes=${2:-30}
interval=${INTERVAL:-60}
cpus=${CPUS:-0,1}
warmup=${WARMUP:-8}
. "$(dirname "$0")/program_display.sh"
require_display_tools
work=${KEEP:-$(mktemp -d)}
mkdir -p "$work"
driver=""
cleanup() {
    [ -n "$driver" ] && kill "$driver" 2>/dev/null || true
    stop_program_display
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
start_program_display 141 190
read -r ww wh < <(DISPLAY=$display xdotool getwindowgeometry "$window" | awk '/Geometry/ { split($2, s, "x"); print s[1], s[2] }')

# Taps at points of the notched screen (390 x 844 points), scaled to the window.
tap() {
    DISPLAY=$display xdotool mousemove --window "$window" $(($1 * ww / 390)) $(($2 * wh / 844)) click 1
    sleep "$3"
}
# One round, about 30 s: each pop-up opened and closed, looks picked, a photo taken.
round() {
    local i=$1
    local looks=(58 137 216 295) menus=(55 137 228 308)
    tap 320 700 1.5                                  # the filter pop-up
    tap "${menus[$((i % 4))]}" 542 1                  # a menu of looks
    tap "${looks[$((i % 4))]}" 600 1                  # a look
    tap "${looks[$(((i + 2) % 4))]}" 600 1            # another
    tap 195 250 1.5                                  # closed by a tap on the picture
    tap 265 700 1.5                                  # manual controls
    tap $((i % 2 == 0 ? 68 : 162)) 654 1.5           # focus or exposure
    tap 195 250 1                                    # closed
    tap 195 250 1
    tap 125 700 1.5                                  # the options bar
    tap 164 644 1                                    # the grid on or off
    tap 195 250 1.5                                  # closed
    tap 30 72 2                                      # the side menu
    tap 370 400 2                                    # closed
    tap 195 700 2.5                                  # a photo
    tap 195 420 1                                    # focus on the picture
    sleep 3                                          # a pause, as a person makes
}

ticks=$(getconf CLK_TCK)
cpu_of() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
rss_mb() { awk '/VmRSS/ { printf "%.0f", $2 / 1024 }' "/proc/$app/status"; }
start_rss=$(rss_mb)
(
    i=0
    while kill -0 "$app" 2>/dev/null; do
        round "$i"
        i=$((i + 1))
        echo "$i" >"$work/rounds"
    done
) >/dev/null 2>&1 &
driver=$!

samples=$(awk -v m="$minutes" -v s="$interval" 'BEGIN { n = int(m * 60 / s + 0.5); print (n < 1 ? 1 : n) }')
printf "camera %s, processors %s, %s min, a sample every %s s; memory at start (after %s s) %s MB\n" \
    "${KORVA_CAMERA:-synthetic}" "$cpus" "$minutes" "$interval" "$warmup" "$start_rss"
printf "%8s %8s %8s %10s %9s %9s %10s %9s %7s %7s\n" "minute" "RSS low" "RSS high" "CPU cores" "frames/s" "busy %" "input ms" "max ms" "rounds" "photos"
: >"$work/samples"
lines=$(wc -l <"$work/app.log")
for k in $(seq "$samples"); do
    c0=$(cpu_of)
    t0=$(date +%s.%N)
    # Memory every second: the lowest reading is what the program holds between its bursts (a
    # photo's renders and a pop-up's drawing come and go), the highest its peaks.
    low=""
    high=0
    end=$(($(date +%s) + interval))
    while [ "$(date +%s)" -lt "$end" ]; do
        sleep 1
        kill -0 "$app" 2>/dev/null || { echo "the program ended:" >&2; tail -20 "$work/app.log" >&2; exit 1; }
        r=$(rss_mb)
        if [ -z "$low" ] || [ "$r" -lt "$low" ]; then low=$r; fi
        if [ "$r" -gt "$high" ]; then high=$r; fi
    done
    c1=$(cpu_of)
    t1=$(date +%s.%N)
    rss=$low
    total=$(wc -l <"$work/app.log")
    frames=$(tail -n +"$((lines + 1))" "$work/app.log" | head -n "$((total - lines))" | grep "frames:" || true)
    lines=$total
    photos=$(find "$work/library" -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | wc -l)
    rounds=$(cat "$work/rounds" 2>/dev/null || echo 0)
    echo "$rss" >>"$work/samples"
    # The probe's lines: "F frames/s, main thread busy B%, draw ..., input to frame M ms mean X ms max (N events)".
    echo "$frames" | awk -v k="$k" -v s="$interval" -v rss="$rss" -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" \
        -v hz="$ticks" -v rounds="$rounds" -v photos="$photos" -v high="$high" '{
        for (i = 1; i <= NF; ++i) {
            if ($(i) == "frames/s,") { f += $(i - 1); n++ }
            if ($(i) == "busy") { b += $(i + 1) + 0 }
            if ($(i) == "frame") { gsub(/\(/, "", $(i + 7)); e = $(i + 7) + 0
                                   lm += $(i + 1) * e; le += e; if ($(i + 4) + 0 > lx) lx = $(i + 4) + 0 }
        }
    } END {
        printf "%8.1f %8s %8s %10.2f %9.1f %9.0f %10.0f %9.0f %7s %7s\n", k * s / 60, rss, high, (c1 - c0) / hz / (t1 - t0),
            n ? f / n : 0, n ? b / n : 0, le ? lm / le : 0, lx, rounds, photos
    }'
done
awk -v start="$start_rss" '{ v[NR] = $1 } END {
    h = int(NR / 2); if (h < 1) h = 1
    for (i = 1; i <= NR; ++i) { if (i <= h) { if (v[i] > a) a = v[i] } else if (v[i] > b) b = v[i] }
    if (NR == 1) b = a
    printf "memory between bursts: %s MB at start, at most %d MB in the first half and %d MB in the second: %s\n", start, a, b,
        (b - a > 16 ? "GREW" : "steady")
}' "$work/samples"
