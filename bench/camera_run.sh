#!/usr/bin/env bash
# Runs the application in its window on a virtual display and prints what the running camera
# screen costs: frames shown per second, the main thread's busy share, input-to-frame latency (the
# window host's own figures, written with KORVA_LOG=debug), and the process's CPU and memory.
#
#   bash bench/camera_run.sh [BINARY] [SECONDS]
#
# BINARY defaults to build/release/main/korva (make run builds it). The environment passes on:
# KORVA_CAMERA (default synthetic), KORVA_SCREEN (default notched), CPUS (the processors the
# program may use, default 0,1), TAPS=1 to tap the screen once a second while measuring (opening
# and closing what lies under the tap), WARMUP (seconds before measuring, default 6), SHOT=FILE.png
# to keep a picture of the screen at the end. LATENCY=N taps the options button N times while
# measuring (closing its bar between taps) and times each tap until the bar shows on the display,
# read back by screenshots of a strip of the black bottom bar that the growing bar covers first (ImageMagick's import,
# about 30 ms a screenshot, so each time is an upper bound that much above the true one).
# TAP=strip|menu|shutter taps a look in the filter strip (the filter pop-up opened first), the
# side-menu button (the menu closed again between taps) or the shutter, REPEAT times (default 3),
# each tap alone in the probe's two-second period, and prints the probe's figure for each: the time
# from the tap's input event to the first frame drawn after it (KORVA_LOG's `frames` lines).
set -euo pipefail
binary=${1:-build/release/main/korva}
seconds=${2:-10}
cpus=${CPUS:-0,1}
warmup=${WARMUP:-6}
. "$(dirname "$0")/program_display.sh"
require_display_tools
work=$(mktemp -d)
cleanup() {
    stop_program_display
    rm -rf "$work"
}
trap cleanup EXIT
start_program_display 90 140

ticks=$(getconf CLK_TCK)
cpu_of() { awk '{ print $14 + $15 }' "$1"; }  # user + system ticks
rss_mb() { awk '/VmRSS/ { printf "%.0f", $2 / 1024 }' "/proc/$app/status"; }
start_lines=$(wc -l <"$work/app.log")
start_rss=$(rss_mb)
p0=$(cpu_of "/proc/$app/stat")
m0=$(cpu_of "/proc/$app/task/$app/stat")
t0=$(date +%s.%N)
if [ "${TAPS:-0}" = 1 ]; then
    end=$(($(date +%s) + seconds))
    # Taps in the middle of the picture and near the top bar, one a second.
    while [ "$(date +%s)" -lt "$end" ]; do
        DISPLAY=$display xdotool mousemove --window "$window" 195 420 click 1
        sleep 0.5
        DISPLAY=$display xdotool mousemove --window "$window" 195 120 click 1
        sleep 0.5
    done
elif [ -n "${TAP:-}" ]; then
    eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
    # Taps at points of the notched screen (390 x 844 points), scaled to the window; each waits
    # out a probe period so that the period holding the measured tap holds nothing else.
    tap() { DISPLAY=$display xdotool mousemove --window "$window" $(($1 * WIDTH / 390)) $(($2 * HEIGHT / 844)) click 1; }
    quiet=2.6
    : >"$work/taps"
    measured() {
        local from
        from=$(wc -l <"$work/app.log")
        tap "$1" "$2"
        sleep "$quiet"
        # The period's line with events in it: its max is this tap's input to frame.
        tail -n +"$((from + 1))" "$work/app.log" | grep "frames:" | awk '{
            for (i = 1; i <= NF; ++i) if ($(i) == "frame") { gsub(/\(/, "", $(i + 7)); if ($(i + 7) + 0 > 0) print $(i + 4) }
        }' | sort -n | tail -1 >>"$work/taps"
    }
    case "$TAP" in
    strip)
        looks=(58 137 216 295)
        tap 320 700; sleep 1.5      # the filter pop-up
        tap 55 542; sleep "$quiet"  # its first menu of looks
        for i in $(seq 0 $((${REPEAT:-3} - 1))); do measured "${looks[$((i % 4))]}" 600; done
        tap 195 250; sleep 1
        ;;
    menu)
        for _ in $(seq "${REPEAT:-3}"); do
            measured 30 72
            tap 370 400; sleep "$quiet"  # closed again
        done
        ;;
    shutter)
        for _ in $(seq "${REPEAT:-3}"); do measured 195 700; sleep 1; done
        ;;
    *) echo "TAP is strip, menu or shutter" >&2; exit 1 ;;
    esac
    awk -v what="$TAP" '{ v[NR] = $1 } END {
        line = ""; for (i = 1; i <= NR; ++i) line = line (i > 1 ? ", " : "") v[i]
        printf "  tap (%s) to its first frame, the probe: %s ms (%d taps)\n", what, line, NR }' "$work/taps" >"$work/latency"
elif [ "${LATENCY:-0}" -gt 0 ]; then
    eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
    # Points of the notched screen (390 x 844) scaled to the window; the strip lies on the black
    # bottom bar beside the options button, where the bar's first frame (it grows from the
    # button) already covers it.
    px() { echo $(($1 * WIDTH / 390)); }
    py() { echo $(($1 * HEIGHT / 844)); }
    strip="$(px 10)x$(py 6)+$((X + $(px 130)))+$((Y + $(py 686)))"
    grab() { DISPLAY=$display import -window root -crop "$strip" rgb:- 2>/dev/null | md5sum; }
    : >"$work/taps"
    for _ in $(seq "$LATENCY"); do
        before=$(grab)
        tap0=$(date +%s.%N)
        DISPLAY=$display xdotool mousemove --window "$window" "$(px 125)" "$(py 700)" click 1
        while :; do
            now=$(date +%s.%N)
            [ "$(grab)" != "$before" ] && break
            awk -v a="$tap0" -v b="$now" 'BEGIN { exit !(b - a > 2) }' && break
        done
        awk -v a="$tap0" -v b="$now" 'BEGIN { printf "%.0f\n", (b - a) * 1000 }' >>"$work/taps"
        sleep 1
        DISPLAY=$display xdotool mousemove --window "$window" "$(px 195)" "$(py 250)" click 1
        sleep 1.5
    done
    sort -n "$work/taps" | awk '{ v[NR] = $1; s += $1 } END {
        printf "  tap to the options bar on the display: %.0f ms mean, %d ms median, %d ms max over %d taps (screenshots)\n",
            s / NR, v[int((NR + 1) / 2)], v[NR], NR }' >"$work/latency"
else
    sleep "$seconds"
fi
if [ -n "${SHOT:-}" ]; then DISPLAY=$display import -window root "$SHOT" 2>/dev/null || true; fi
p1=$(cpu_of "/proc/$app/stat")
m1=$(cpu_of "/proc/$app/task/$app/stat")
t1=$(date +%s.%N)
end_rss=$(rss_mb)

tail -n +"$((start_lines + 1))" "$work/app.log" | grep "frames:" >"$work/frames.log" || true
echo "camera ${KORVA_CAMERA:-synthetic}, screen ${KORVA_SCREEN:-notched}, processors $cpus, ${seconds} s after ${warmup} s"
awk -v p0="$p0" -v p1="$p1" -v m0="$m0" -v m1="$m1" -v t0="$t0" -v t1="$t1" -v hz="$ticks" \
    -v r0="$start_rss" -v r1="$end_rss" 'BEGIN {
    wall = t1 - t0
    printf "  process CPU %.2f cores, main thread %.0f %% of one core, memory %s MB -> %s MB\n",
        (p1 - p0) / hz / wall, 100 * (m1 - m0) / hz / wall, r0, r1 }'
# The probe's lines: "N frames/s, P new pictures/s, main thread busy B%, draw D ms mean M ms max,
# input to frame ..." (a new picture is a frame whose pixels differ from the frame before).
awk '{
    for (i = 1; i <= NF; ++i) {
        if ($(i) == "frames/s,") { f += $(i - 1); n++ }
        if ($(i) == "pictures/s,") { p += $(i - 2) }
        if ($(i) == "busy") { b += $(i + 1) + 0 }
        if ($(i) == "draw") { d += $(i + 1) }
        if ($(i) == "frame") { l = $(i + 1); if (l > lmax) lmax = l; }
        if ($(i) == "max" && $(i + 2) == "max") { }
    }
} END {
    if (n == 0) { print "  no frame figures were written (is the window host running?)"; exit }
    printf "  %.1f frames/s, %.1f new pictures/s, main thread busy %.0f %%, draw %.1f ms per frame (means of %d reports)\n",
        f / n, p / n, b / n, d / n, n
}' "$work/frames.log"
sed 's/^/  /' "$work/frames.log" | tail -5
# The latency figures are there only when LATENCY or TAP asked for them.
if [ -s "$work/latency" ]; then cat "$work/latency"; fi
