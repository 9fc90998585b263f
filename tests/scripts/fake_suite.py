#!/usr/bin/env python3
"""A stand-in for a GoogleTest binary: its cases pass, fail, skip, crash, hang or leak by name, and
the one FAKE_LITTER names leaves a file in its temporary folder. With FAKE_VANISH set, listing its
cases removes the file it runs from, as a relink does between the listing and the run."""
import os
import sys
import time

CASES = ["Good.One", "Good.Two", "Bad.Fails", "Crash.Dies", "Crash.After", "Skip.Me",
         "Param/Values.Holds/0", "Slow.Hangs"]

if "--gtest_list_tests" in sys.argv:
    print("Running main() from a fake")
    group = None
    for case in CASES:
        suite, name = case.split(".")
        if suite != group:
            print(suite + ".")
            group = suite
        print("  " + name + ("  # GetParam() = 1" if "/" in name else ""))
    if os.environ.get("FAKE_VANISH"):
        os.remove(os.path.abspath(sys.argv[0]))
    sys.exit(0)

chosen = CASES
for arg in sys.argv[1:]:
    if arg.startswith("--gtest_filter="):
        wanted = set(arg.split("=", 1)[1].split(":"))
        chosen = [c for c in CASES if c in wanted]
with open(os.environ["FAKE_LOG"], "a") as log:
    log.write(" ".join(chosen) + "\n")
failed = False
for case in chosen:
    print(f"[ RUN      ] {case}", flush=True)
    if case == "Bad.Fails":
        print("fake_test.cpp:12: Failure\nExpected equality of these values: 1 and 2")
        print(f"[  FAILED  ] {case} (3 ms)")
        failed = True
    elif case == "Crash.Dies":
        print("==1==ERROR: AddressSanitizer: heap-use-after-free", flush=True)
        os._exit(1)
    elif case == "Skip.Me":
        print(f"[  SKIPPED ] {case} (0 ms)")
    elif case == "Slow.Hangs":
        time.sleep(60)
    else:
        if case == os.environ.get("FAKE_LITTER"):
            # Left behind in the temporary folder the process was given.
            open(os.path.join(os.environ["TMPDIR"], "korva-left"), "w").close()
        print(f"[       OK ] {case}, where GetParam() = 1 (5 ms)" if "/" in case else f"[       OK ] {case} (5 ms)")
if failed:
    print("[  FAILED  ] Bad.Fails")
if "Good.Two" in chosen:
    print("==1==ERROR: LeakSanitizer: detected memory leaks", flush=True)
    sys.exit(23)
sys.exit(1 if failed else 0)
