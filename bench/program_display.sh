# Sourced by the scripts that run the release program on a virtual display (camera_run.sh,
# camera_soak.sh). The caller sets `binary`, `cpus`, `warmup` and `work` (a folder), installs
# its own exit trap that calls stop_program_display, and then calls start_program_display FIRST
# LAST (the range of display numbers to try). Afterwards `display` names the display, `app` is the
# program's process and `window` its visible window (the display also holds a hidden helper
# window of the same name, which must not take the taps).
display=""
xvfb=""
app=""
window=""

require_display_tools() {
    [ -x "$binary" ] || { echo "no program at $binary (build it with make build-release)" >&2; exit 1; }
    for tool in Xvfb xdotool; do
        command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install xvfb xdotool)" >&2; exit 1; }
    done
}

start_program_display() {
    local n
    for n in $(seq "$1" "$2"); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
    done
    [ -n "$display" ] || { echo "no free display number" >&2; exit 1; }
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

    # PROGRAM_LIBRARY names a library folder the caller prepared; otherwise it starts empty.
    local library=${PROGRAM_LIBRARY:-$work/library}
    rm -rf "$work/data"
    [ -n "${PROGRAM_LIBRARY:-}" ] || rm -rf "$library"
    mkdir -p "$work/data" "$library"
    DISPLAY=$display KORVA_HOST=window KORVA_LOG=debug KORVA_DATA_DIR="$work/data" KORVA_LIBRARY_DIR="$library" \
        KORVA_CAMERA=${KORVA_CAMERA:-synthetic} KORVA_SCREEN=${KORVA_SCREEN:-notched} \
        taskset -c "$cpus" "$binary" >"$work/app.log" 2>&1 &
    app=$!
    sleep "$warmup"
    kill -0 "$app" 2>/dev/null || { echo "the program ended early:" >&2; tail -20 "$work/app.log" >&2; exit 1; }
    window=$(DISPLAY=$display xdotool search --sync --onlyvisible --name '^Korva$' | head -1)
}

stop_program_display() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
