#!/usr/bin/env python3
"""Times the program's end from outside while its display does not answer.

Starts a private Xvfb and the program in a window on it (the synthetic camera), presses the volume
key once the camera shows, holds the server (SIGSTOP, or another client's grab) as soon as the shot
begins, sends SIGTERM half a second later, and times from the SIGTERM to the process's exit (read
with waitpid every 10 ms). Prints one line a run: how it ended, how long it took, and whether the
photo was written or named as cut off.

    scripts/measure_end.py build/release/main/korva --runs 3 --hold stop
    scripts/measure_end.py build/release/main/korva --runs 3 --hold grab
Run `stress-ng --cpu $((3 * $(nproc)))` beside it for a busy machine.
"""
import argparse
import ctypes
import ctypes.util
import os
import signal
import subprocess
import sys
import tempfile
import time


def start_xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp", "-noreset"], pass_fds=(write,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 1)
        if not chunk:
            raise SystemExit("Xvfb did not start")
        number += chunk
    os.close(read)
    return server, ":" + number.decode().strip()


class Grabber:
    """Another client that holds the server with a grab."""

    def __init__(self, display):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        for name in ("XGrabServer", "XUngrabServer", "XCloseDisplay"):
            getattr(self.x, name).argtypes = [ctypes.c_void_p]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.display = self.x.XOpenDisplay(display.encode())
        if not self.display:
            raise SystemExit("cannot reach " + display)

    def grab(self):
        self.x.XGrabServer(self.display)
        self.x.XSync(self.display, 0)

    def release(self):
        self.x.XUngrabServer(self.display)
        self.x.XSync(self.display, 0)
        self.x.XCloseDisplay(self.display)


def wait_for(done, seconds, every=0.01):
    end = time.monotonic() + seconds
    while not done():
        if time.monotonic() > end:
            return False
        time.sleep(every)
    return True


def one_run(program, hold):
    server, display = start_xvfb()
    folder = tempfile.mkdtemp(prefix="korva-end-")
    env = {k: v for k, v in os.environ.items() if not k.startswith("KORVA_") and k != "WAYLAND_DISPLAY"}
    env.update(DISPLAY=display, KORVA_HOST="window", KORVA_CAMERA="synthetic", KORVA_LOG="debug",
               KORVA_DATA_DIR=folder + "/data", KORVA_LIBRARY_DIR=folder + "/library")
    os.makedirs(folder + "/library")
    log_path = folder + "/log"
    with open(log_path, "wb") as log:
        korva = subprocess.Popen([program], env=env, stdout=log, stderr=log)
    said = lambda text: text in open(log_path, errors="replace").read()
    try:
        # The camera shows once the preview's first picture is drawn a few times over.
        if not wait_for(lambda: said("frames") or korva.poll() is not None, 120):
            return "no frames"
        time.sleep(2)
        subprocess.run(["xdotool", "search", "--name", "Korva", "windowfocus", "--sync"],
                       env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        subprocess.run(["xdotool", "key", "plus"], env=env, timeout=30)
        if not wait_for(lambda: said("shot begins") or korva.poll() is not None, 60):
            return "no shot"
        grabber = None
        if hold == "stop":
            server.send_signal(signal.SIGSTOP)
        else:
            grabber = Grabber(display)
            grabber.grab()
        time.sleep(0.5)
        korva.send_signal(signal.SIGTERM)
        asked = time.monotonic()
        while korva.poll() is None and time.monotonic() - asked < 60:
            time.sleep(0.01)
        took = time.monotonic() - asked
        ended = "still running" if korva.poll() is None else f"status {korva.returncode}"
        if hold == "stop":
            server.send_signal(signal.SIGCONT)
        else:
            grabber.release()
        photos = [n for n in os.listdir(folder + "/library") if n.lower().endswith((".jpg", ".jpeg"))]
        outcome = "written" if photos else ("named" if said("the photo was not saved") else "lost")
        cut = " (the bound)" if said("ran out of time") else ""
        return f"{ended} {took:.2f} s after SIGTERM{cut}; photo {outcome}"
    finally:
        if korva.poll() is None:
            korva.kill()
            korva.wait()
        server.send_signal(signal.SIGCONT)
        server.terminate()
        server.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--hold", choices=("stop", "grab"), default="stop")
    args = parser.parse_args()
    for run in range(args.runs):
        load = os.getloadavg()[0]
        print(f"{args.hold} {run + 1}: {one_run(args.program, args.hold)} (load {load:.1f})", flush=True)


if __name__ == "__main__":
    sys.exit(main())
