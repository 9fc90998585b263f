#!/usr/bin/env python3
"""Runs the GoogleTest binaries of a build, each in a few processes rather than one per case.

Starting a sanitized binary costs about as much as most of its cases (fonts, the platform, the
sanitizer runtime), so every binary runs its cases in a handful of shards, spread over the jobs
by the time each case took last time (or by count when there is no earlier run). The report reads
like CTest's: a line per shard, the output of each failing case, and the closing summary.

Every test process gets a fresh temporary folder (TMPDIR) of its own, checked once it ends: what a
test leaves there fails the run, the files and the case named (the shard's cases are run again one
process each to find it). Files other programs put in the shared /tmp are never looked at.

A shard that crashes or hangs loses only the case it was in: that case fails with the shard's
output, and the cases it had not reached run in a new process. A shard that fails after all its
cases passed (a leak found at exit) has its cases run again one process each, to name the one.
A binary that cannot be started (removed or being relinked since its cases were listed) fails
every case it was to run.

    scripts/run_tests.py BUILD_DIR [-j JOBS] [-R REGEX] [--suite NAME] [--timeout SECONDS]
"""

import argparse
import concurrent.futures
import json
import os
import queue
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import threading
import time

RUN = re.compile(r"^\[ RUN      \] (\S+)$")
DONE = re.compile(r"^\[ +(OK|FAILED|SKIPPED) +\] (\S+?),? .*?\((\d+) ms\)$")
TIMES_FILE = "case-times.tsv"


class TempFolders:
    """A folder of the run's own under the inherited TMPDIR, and in it a fresh one for each test
    process. Open to every user for entering, so that a superuser's test can let an ordinary user
    in; nobody else may write in them."""

    def __init__(self):
        self.base = tempfile.mkdtemp(prefix="korva-tests-")
        os.chmod(self.base, 0o755)

    def fresh(self, env):
        """A new folder and the environment that names it."""
        folder = tempfile.mkdtemp(dir=self.base)
        os.chmod(folder, 0o755)
        return folder, {**env, "TMPDIR": folder}

    @staticmethod
    def _remove(folder):
        def opened_up(function, path, _):
            # A test that ended early may have left a folder it had locked.
            try:
                os.chmod(os.path.dirname(path), stat.S_IRWXU)
                os.chmod(path, stat.S_IRWXU)
            except OSError:
                pass
            function(path)

        try:
            shutil.rmtree(folder, onerror=opened_up)
        except OSError:
            pass

    def left_in(self, folder):
        """What was left in a process's folder (sorted names), which then goes."""
        try:
            names = sorted(os.listdir(folder))
        except OSError:
            names = []
        self._remove(folder)
        return names

    def close(self):
        self._remove(self.base)


def left_files_note(names):
    shown = ", ".join(names[:10]) + (f" and {len(names) - 10} more" if len(names) > 10 else "")
    return f"\n*** left in its temporary folder: {shown}\n"


class Suite:
    def __init__(self, name, path, workdir):
        self.name, self.path, self.workdir = name, path, workdir
        self.cases = []


class Result:
    def __init__(self, status, seconds, output):
        self.status, self.seconds, self.output = status, seconds, output


def read_suites(build):
    """The test binaries the build declares: name, path and working folder, one per line."""
    listing = os.path.join(build, "tests", "suites.tsv")
    if not os.path.exists(listing):
        sys.exit(f"run_tests: {listing} is missing; configure and build {build} first")
    suites = []
    with open(listing) as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3:
                suites.append(Suite(*parts))
    return suites


def plain_tests(build):
    """The build's other CTest tests (not GoogleTest binaries): name, command, folder, extra
    environment. Each counts as one case."""
    ctest = shutil.which("ctest")
    if not ctest:
        return []
    out = subprocess.run([ctest, "--show-only=json-v1"], cwd=build, capture_output=True, text=True)
    if out.returncode != 0:
        return []
    tests = []
    for t in json.loads(out.stdout).get("tests", []):
        props = {p["name"]: p["value"] for p in t.get("properties", [])}
        if "suite" in props.get("LABELS", []) or "command" not in t:
            continue
        extra = dict(v.split("=", 1) for v in props.get("ENVIRONMENT", []) if "=" in v)
        tests.append((t["name"], t["command"], props.get("WORKING_DIRECTORY", build), extra))
    return tests


def list_cases(suite, env, temp):
    """The binary's cases in its own order (Suite.Case, parameters left off)."""
    if not os.access(suite.path, os.X_OK):
        return f"{suite.path} is not built"
    folder, env = temp.fresh(env)
    try:
        out = subprocess.run([suite.path, "--gtest_list_tests"], cwd=suite.workdir, env=env,
                             capture_output=True, text=True, errors="replace", timeout=120)
    except subprocess.TimeoutExpired:
        temp.left_in(folder)
        return "listing its cases took over two minutes"
    left = temp.left_in(folder)
    if left:
        return "listing its cases" + left_files_note(left)
    if out.returncode != 0:
        return f"listing its cases failed ({out.returncode}):\n{out.stdout}{out.stderr}"
    group = ""
    for line in out.stdout.splitlines():
        if not line.strip() or line.startswith("Running main()"):
            continue
        if not line.startswith(" "):
            group = line.split()[0]
        else:
            suite.cases.append(group + line.split()[0])
    return None


def load_times(build):
    times = {}
    try:
        with open(os.path.join(build, "tests", TIMES_FILE)) as f:
            for line in f:
                name, _, seconds = line.rstrip("\n").rpartition("\t")
                times[name] = float(seconds)
    except (OSError, ValueError):
        pass
    return times


def save_times(build, times):
    path = os.path.join(build, "tests", TIMES_FILE)
    try:
        with open(path + ".new", "w") as f:
            for name in sorted(times):
                f.write(f"{name}\t{times[name]:.3f}\n")
        os.replace(path + ".new", path)
    except OSError:
        pass


def plan(suites, jobs, times):
    """Shards of (suite, cases), largest first. With several jobs each binary is cut into pieces of
    about a quarter of a job's share, so that the jobs finish together; its cases are dealt out by
    their cost."""
    known = [t for t in times.values() if t > 0]
    default = sum(known) / len(known) if known else 1.0
    cost = {}
    for s in suites:
        for c in s.cases:
            cost[(s.name, c)] = times.get(f"{s.name}/{c}", default) + 0.01
    total = sum(cost.values())
    piece = max(total / (jobs * 4), 1e-9)
    shards = []
    for s in suites:
        if not s.cases:
            continue
        own = sum(cost[(s.name, c)] for c in s.cases)
        count = 1 if jobs == 1 else max(1, min(len(s.cases), round(own / piece)))
        bins = [[0.0, []] for _ in range(count)]
        for c in sorted(s.cases, key=lambda c: -cost[(s.name, c)]):
            smallest = min(bins, key=lambda b: b[0])
            smallest[0] += cost[(s.name, c)]
            smallest[1].append(c)
        order = {c: i for i, c in enumerate(s.cases)}
        for i, (load, cases) in enumerate(bins):
            cases.sort(key=order.get)
            label = s.name if count == 1 else f"{s.name} [{i + 1}/{count}]"
            shards.append((load, label, s, cases))
    shards.sort(key=lambda x: -x[0])
    return [(label, s, cases) for _, label, s, cases in shards]


def run_shard(suite, cases, env, timeout, temp):
    """Runs the cases in one process. Returns {case: Result}, the cases not reached, the output
    of a process that failed outside any case (None when it ended cleanly), whether it ended
    inside a case (a crash or a time-out, which that case's result tells), and what the process
    left in its temporary folder."""
    folder, env = temp.fresh(env)
    try:
        outcome = run_in_folder(suite, cases, env, timeout)
    finally:
        left = temp.left_in(folder)
    return (*outcome, left)


def run_in_folder(suite, cases, env, timeout):
    results = {}
    try:
        proc = subprocess.Popen([suite.path, "--gtest_filter=" + ":".join(cases)], cwd=suite.workdir,
                                env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, text=True, errors="replace", bufsize=1)
    except OSError as e:
        # Gone or changing since its cases were listed (a relink): every case it was to run fails.
        return results, list(cases), f"*** cannot run {suite.path}: {e}\n", False
    lines = queue.Queue()

    def pump():
        for line in proc.stdout:
            lines.put(line)
        lines.put(None)

    threading.Thread(target=pump, daemon=True).start()
    current, started, buffer, tail = None, 0.0, [], []
    timed_out, heard = False, time.monotonic()
    while True:
        try:
            line = lines.get(timeout=1.0)
        except queue.Empty:
            # A case that runs too long, or a process silent that long outside any case (stuck
            # before the first or at exit), is stopped.
            now = time.monotonic()
            if not timed_out and now - (started if current else heard) > timeout:
                timed_out = True
                proc.kill()
            continue
        if line is None:
            break
        heard = time.monotonic()
        text = line.rstrip("\n")
        run = RUN.match(text)
        if run:
            current, started, buffer = run.group(1), time.monotonic(), [line]
            continue
        done = DONE.match(text)
        if current and done and done.group(2) == current:
            buffer.append(line)
            status = {"OK": "Passed", "FAILED": "Failed", "SKIPPED": "Skipped"}[done.group(1)]
            results[current] = Result(status, int(done.group(3)) / 1000.0, "".join(buffer))
            current, buffer = None, []
            continue
        (buffer if current else tail).append(line)
    code = proc.wait()
    if current:
        why = f"Timeout after {timeout} s" if timed_out else f"Crashed (exit {code})"
        results[current] = Result("Failed", time.monotonic() - started,
                                  "".join(buffer) + f"\n*** {why}\n")
    left = [c for c in cases if c not in results]
    clean = code == 0 or (code == 1 and any(r.status == "Failed" for r in results.values()))
    if clean or current:
        return results, left, None, bool(current)
    why = f"timeout after {timeout} s outside any case" if timed_out else f"exit {code}"
    return results, left, "".join(tail) + f"\n*** {why}\n", False


class Runner:
    def __init__(self, jobs, env, timeout, temp):
        self.jobs, self.env, self.timeout, self.temp = jobs, env, timeout, temp
        self.results = {}
        self.lock = threading.Lock()
        self.done = 0

    def run(self, shards):
        self.total = len(shards)
        work = queue.Queue()
        for shard in shards:
            work.put(shard)

        def worker():
            while True:
                try:
                    shard = work.get_nowait()
                except queue.Empty:
                    return
                if shard[0] == "plain":
                    self.run_plain(*shard[1:])
                else:
                    self.run_one(*shard)

        threads = [threading.Thread(target=worker) for _ in range(self.jobs)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()

    def run_plain(self, name, command, workdir, extra):
        start = time.monotonic()
        folder, env = self.temp.fresh({**self.env, **extra})
        try:
            out = subprocess.run(command, cwd=workdir, env=env, stdin=subprocess.DEVNULL,
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                 errors="replace", timeout=self.timeout)
            ok, output = out.returncode == 0, out.stdout + f"\n*** exit {out.returncode}\n"
        except subprocess.TimeoutExpired as e:
            ok, output = False, f"{e.output or ''}\n*** Timeout after {self.timeout} s\n"
        except OSError as e:
            ok, output = False, f"*** cannot run {command[0]}: {e}\n"
        left = self.temp.left_in(folder)
        if left:
            ok, output = False, output + left_files_note(left)
        took = time.monotonic() - start
        with self.lock:
            self.done += 1
            self.results[name] = (name, "", Result("Passed" if ok else "Failed", took, output))
            width = len(str(self.total))
            line = f"{self.done:>{width}}/{self.total} {name} "
            print(f"{line:.<60} {'Passed' if ok else '***Failed':>10} {took:8.2f} sec", flush=True)
            if not ok:
                print(f"--- {name}\n{output.rstrip()}\n---", flush=True)

    def run_one(self, label, suite, cases):
        start = time.monotonic()
        found, exit_output = {}, ""
        # Cases that passed in a process that did not end cleanly: their exit checks (the leak
        # report) either failed or never ran.
        failed_at_exit, unchecked = [], []
        # Processes that left files behind: the cases each ran, and the files.
        leavers = []
        pending = cases
        while pending:
            ran = pending
            results, pending, failed_exit, crashed, left = run_shard(suite, pending, self.env, self.timeout,
                                                                     self.temp)
            if left:
                leavers.append(([c for c in ran if c in results], left))
            found.update(results)
            passed = [c for c, r in results.items() if r.status == "Passed"]
            if failed_exit:
                exit_output += failed_exit
                failed_at_exit += passed
            elif crashed:
                unchecked += passed
            if pending and not results:
                # The process died before its first case: nothing would ever be reached.
                for c in pending:
                    found[c] = Result("Failed", 0.0, failed_exit or "*** not run\n")
                pending = []
        if unchecked:
            results, _, failed_exit, crashed, left = run_shard(suite, unchecked, self.env, self.timeout,
                                                               self.temp)
            if left:
                leavers.append((list(results), left))
            if failed_exit or crashed or any(r.status != "Passed" for r in results.values()):
                exit_output += failed_exit or ""
                failed_at_exit += unchecked
        # One process per case finds which failed outside itself.
        for c in failed_at_exit:
            alone, _, alone_exit, _, left = run_shard(suite, [c], self.env, self.timeout, self.temp)
            r = alone.get(c)
            if alone_exit or not r or r.status == "Failed":
                out = (r.output if r else "") + (alone_exit or "")
                found[c] = Result("Failed", r.seconds if r else 0.0, out)
        # The case that left files: alone in its process, or found by running each case alone.
        unnamed_leftovers = []
        for ran, left in leavers:
            blamed = {ran[0]: left} if len(ran) == 1 else {}
            if len(ran) > 1:
                for c in ran:
                    _, _, _, _, alone_left = run_shard(suite, [c], self.env, self.timeout, self.temp)
                    if alone_left:
                        blamed[c] = alone_left
            for c, names in blamed.items():
                r = found[c]
                found[c] = Result("Failed", r.seconds, r.output + left_files_note(names))
            if not blamed:
                unnamed_leftovers += left
        with self.lock:
            self.done += 1
            for c, r in found.items():
                self.results[f"{suite.name}/{c}"] = (suite.name, c, r)
            failed = [c for c in cases if found[c].status == "Failed"]
            if exit_output and not failed:
                # Nobody fails alone: the shard as a whole is reported.
                name = f"{label} (at exit)"
                self.results[f"{suite.name}/{name}"] = (suite.name, name, Result("Failed", 0.0, exit_output))
                failed = [name]
            if unnamed_leftovers:
                # Left only when the cases ran together.
                name = f"{label} (left files)"
                note = left_files_note(sorted(set(unnamed_leftovers)))
                self.results[f"{suite.name}/{name}"] = (suite.name, name, Result("Failed", 0.0, note))
                failed.append(name)
            skipped = sum(1 for c in cases if found[c].status == "Skipped")
            took = time.monotonic() - start
            width = len(str(self.total))
            state = "Passed" if not failed else f"***{len(failed)} Failed"
            extra = f", {skipped} skipped" if skipped else ""
            line = f"{self.done:>{width}}/{self.total} {label} ({len(cases)} cases{extra}) "
            print(f"{line:.<60} {state:>10} {took:8.2f} sec", flush=True)
            for c in failed:
                r = self.results[f"{suite.name}/{c}"][2]
                print(f"--- {suite.name}: {c}\n{r.output.rstrip()}\n---", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build", help="the build folder (build/test)")
    parser.add_argument("-j", "--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("-R", "--regex", help="only cases whose Suite.Case name matches")
    parser.add_argument("--suite", help="only this test binary (test_camera, ...)")
    parser.add_argument("--timeout", type=float, default=300, help="seconds one case may take")
    args = parser.parse_args()

    start = time.monotonic()
    env = dict(os.environ)
    env.setdefault("KORVA_LOG", "quiet")
    suites = [s for s in read_suites(args.build) if not args.suite or s.name == args.suite]
    if args.suite and not suites:
        sys.exit(f"run_tests: no test binary named {args.suite}")
    temp = TempFolders()
    try:
        return run(args, env, suites, temp, start)
    finally:
        temp.close()


def run(args, env, suites, temp, start):
    with concurrent.futures.ThreadPoolExecutor(max(1, args.jobs)) as pool:
        errors = pool.map(lambda s: list_cases(s, env, temp), suites)
    broken = {s.name: e for s, e in zip(suites, errors) if e}
    if args.regex:
        pattern = re.compile(args.regex)
        for s in suites:
            s.cases = [c for c in s.cases if pattern.search(c)]

    plain = [] if args.suite else plain_tests(args.build)
    if args.regex:
        plain = [t for t in plain if pattern.search(t[0])]

    times = load_times(args.build)
    runner = Runner(max(1, args.jobs), env, args.timeout, temp)
    runner.run(plan(suites, max(1, args.jobs), times) + [("plain", *t) for t in plain])
    for name, error in broken.items():
        runner.results[name] = (name, "(listing)", Result("Failed", 0.0, error))
        print(f"--- {name}: its cases could not be listed\n{error.rstrip()}\n---")

    for key, (_, _, r) in runner.results.items():
        if r.status == "Passed":
            times[key] = r.seconds
    save_times(args.build, times)

    results = sorted(runner.results.values(), key=lambda x: (x[0], x[1]))
    failed = [f"{s}: {c}" if c else s for s, c, r in results if r.status == "Failed"]
    skipped = [f"{s}: {c}" if c else s for s, c, r in results if r.status == "Skipped"]
    total = len(results)
    if total == 0:
        print("No tests were found!!!")
        return 1
    percent = (total - len(failed)) * 100.0 / total
    if failed and percent > 99:
        percent = 99
    print(f"\n{int(percent + 0.5)}% tests passed, {len(failed)} tests failed out of {total}")
    print(f"\nTotal Test time (real) = {time.monotonic() - start:7.2f} sec")
    if skipped:
        print("\nThe following tests did not run:")
        for name in skipped:
            print(f"\t{name} (Skipped)")
    if failed:
        print("\nThe following tests FAILED:")
        for name in failed:
            print(f"\t{name} (Failed)")
        print("Errors while running the tests")
        return 8
    return 0


if __name__ == "__main__":
    sys.exit(main())
