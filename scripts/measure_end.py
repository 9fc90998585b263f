#!/usr/bin/env python3
"""Times the program's end from outside while its display does not answer.

Starts a private Xvfb and the program in a window on it (the synthetic camera), presses the volume
key once the camera shows and, as soon as the shot begins, holds the server (SIGSTOP, or another
client's grab) and asks for the end: a signal half a second later, or the window manager's close or
the window's destruction sent just before the server is held (by the grabbing client itself). With
`--hold stderr` the display answers, and the program's standard error is a pipe that is no longer
read and is filled instead (a paused terminal, a stalled log collector). Times
from the ask to the process's exit (read with waitpid every 10 ms). Prints one line a run: how it
ended, how long it took, and whether the photo was written or named as cut off.

    scripts/measure_end.py build/release/main/korva --runs 3 --hold stop
    scripts/measure_end.py build/release/main/korva --runs 3 --hold grab --ask close
    scripts/measure_end.py build/release/main/korva --runs 3 --hold stderr
Run `stress-ng --cpu $((3 * $(nproc)))` beside it for a busy machine.
"""
import argparse
import ctypes
import ctypes.util
import os
import select
import signal
import subprocess
import sys
import tempfile
import threading
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


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


class Grabber:
    """Another client: it holds the server with a grab, and speaks for the window manager."""

    def __init__(self, display):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        for name in ("XGrabServer", "XUngrabServer", "XCloseDisplay"):
            getattr(self.x, name).argtypes = [ctypes.c_void_p]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XInternAtom.restype = ctypes.c_ulong
        self.x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                      ctypes.POINTER(XEvent)]
        self.x.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.display = self.x.XOpenDisplay(display.encode())
        if not self.display:
            raise SystemExit("cannot reach " + display)

    def close(self, window):
        event = XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = self.x.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = self.x.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        self.x.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        self.x.XSync(self.display, 0)

    def destroy(self, window):
        self.x.XDestroyWindow(self.display, window)
        self.x.XSync(self.display, 0)

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


class StderrPipe:
    """The program's standard error as a pipe, copied into the log until it stalls: from then on it is
    not read, and it is filled to the brim."""

    def __init__(self, log):
        self.read, self.write = os.pipe()
        self.log = log
        self.reading = True
        self.thread = threading.Thread(target=self.copy, daemon=True)
        self.thread.start()

    def copy(self):
        while self.reading:
            if select.select([self.read], [], [], 0.05)[0]:
                chunk = os.read(self.read, 65536)
                if not chunk:
                    return
                self.log.write(chunk)
                self.log.flush()

    def stall(self):
        self.reading = False
        self.thread.join()
        filler = os.open(f"/proc/self/fd/{self.write}", os.O_WRONLY | os.O_NONBLOCK)
        try:
            while True:
                os.write(filler, b"\0" * 4096)
        except BlockingIOError:
            pass
        try:
            while True:
                os.write(filler, b"\0")
        except BlockingIOError:
            pass
        os.close(filler)


def one_run(program, hold, ask):
    server, display = start_xvfb()
    folder = tempfile.mkdtemp(prefix="korva-end-")
    env = {k: v for k, v in os.environ.items() if not k.startswith("KORVA_") and k != "WAYLAND_DISPLAY"}
    env.update(DISPLAY=display, KORVA_HOST="window", KORVA_CAMERA="synthetic", KORVA_LOG="debug",
               KORVA_DATA_DIR=folder + "/data", KORVA_LIBRARY_DIR=folder + "/library")
    os.makedirs(folder + "/library")
    log_path = folder + "/log"
    log = open(log_path, "wb")
    stderr = StderrPipe(log) if hold == "stderr" else None
    korva = subprocess.Popen([program], env=env, stdout=log, stderr=stderr.write if stderr else log)
    said = lambda text: text in open(log_path, errors="replace").read()
    try:
        # The camera shows once the preview's first picture is drawn a few times over.
        if not wait_for(lambda: said("frames") or korva.poll() is not None, 120):
            return "no frames"
        time.sleep(2)
        found = subprocess.run(["xdotool", "search", "--name", "Korva"], env=env, capture_output=True, text=True,
                               timeout=30)
        window = int(found.stdout.split()[0])
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window)], env=env, timeout=30)
        subprocess.run(["xdotool", "key", "plus"], env=env, timeout=30)
        if not wait_for(lambda: said("shot begins") or korva.poll() is not None, 60):
            return "no shot"
        grabber = Grabber(display)
        if hold == "grab":
            grabber.grab()
        if hold == "stderr":
            stderr.stall()
        if ask in SIGNALS:
            if hold == "stop":
                server.send_signal(signal.SIGSTOP)
            time.sleep(0.5)
            korva.send_signal(SIGNALS[ask])
            asked = time.monotonic()
        else:
            asked = time.monotonic()
            grabber.close(window) if ask == "close" else grabber.destroy(window)
            if hold == "stop":
                server.send_signal(signal.SIGSTOP)
        while korva.poll() is None and time.monotonic() - asked < 60:
            time.sleep(0.01)
        took = time.monotonic() - asked
        ended = "still running" if korva.poll() is None else f"status {korva.returncode}"
        if hold == "stop":
            server.send_signal(signal.SIGCONT)
        grabber.release()
        photos = [n for n in os.listdir(folder + "/library") if n.lower().endswith((".jpg", ".jpeg"))]
        outcome = "written" if photos else ("named" if said("the photo was not saved") else "lost")
        cut = " (the bound)" if said("ran out of time") else ""
        return f"{ended} {took:.2f} s after the {ask}{cut}; photo {outcome}"
    finally:
        if korva.poll() is None:
            korva.kill()
            korva.wait()
        server.send_signal(signal.SIGCONT)
        server.terminate()
        server.wait()
        log.close()
        if stderr:
            os.close(stderr.read)
            os.close(stderr.write)


SIGNALS = {"term": signal.SIGTERM, "int": signal.SIGINT, "hup": signal.SIGHUP}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--hold", choices=("stop", "grab", "stderr"), default="stop")
    parser.add_argument("--ask", choices=(*SIGNALS, "close", "destroy"), default="term")
    args = parser.parse_args()
    for run in range(args.runs):
        load = os.getloadavg()[0]
        print(f"{args.hold}, {args.ask} {run + 1}: {one_run(args.program, args.hold, args.ask)} (load {load:.1f})", flush=True)


if __name__ == "__main__":
    sys.exit(main())
