#!/usr/bin/env python3
"""scripts/run_tests.py against a stand-in test binary whose cases fail in each way a real one can."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
RUNNER = os.path.join(HERE, "..", "..", "scripts", "run_tests.py")


class RunTestsTest(unittest.TestCase):
    def run_suite(self, *args, env=None):
        self.build = tempfile.TemporaryDirectory()
        self.addCleanup(self.build.cleanup)
        os.makedirs(os.path.join(self.build.name, "tests"))
        # A copy of its own, which a case may remove.
        binary = os.path.join(self.build.name, "fake_suite.py")
        shutil.copy2(os.path.join(HERE, "fake_suite.py"), binary)
        with open(os.path.join(self.build.name, "tests", "suites.tsv"), "w") as f:
            f.write(f"fake\t{binary}\t{self.build.name}\n")
        self.log = os.path.join(self.build.name, "processes.log")
        open(self.log, "w").close()
        env = dict(os.environ, FAKE_LOG=self.log, **(env or {}))
        out = subprocess.run([sys.executable, RUNNER, self.build.name, "--timeout", "2", *args],
                             env=env, capture_output=True, text=True, timeout=120)
        with open(self.log) as f:
            self.processes = [line.split() for line in f]
        return out

    def test_each_failure_is_named_with_its_output_and_the_rest_still_runs(self):
        out = self.run_suite("-j", "1")
        self.assertEqual(out.returncode, 8, out.stdout)
        self.assertIn("50% tests passed, 4 tests failed out of 8", out.stdout)
        failed = out.stdout.split("The following tests FAILED:")[1]
        for case in ["Bad.Fails", "Crash.Dies", "Good.Two", "Slow.Hangs"]:
            self.assertIn(f"fake: {case} (Failed)", failed)
        self.assertNotIn("Crash.After", failed)
        self.assertIn("fake: Skip.Me (Skipped)", out.stdout)
        # Each failure's own output, and why the process ended where gtest could not say.
        self.assertRegex(out.stdout, r"--- fake: Bad.Fails\n\[ RUN +\] Bad.Fails\nfake_test.cpp:12: Failure")
        self.assertRegex(out.stdout, r"--- fake: Crash.Dies\n(.*\n)*.*AddressSanitizer(.*\n)*\*\*\* Crashed")
        self.assertRegex(out.stdout, r"--- fake: Slow.Hangs\n(.*\n)*\*\*\* Timeout after 2")
        self.assertRegex(out.stdout, r"--- fake: Good.Two\n(.*\n)*.*LeakSanitizer")

    def test_one_process_runs_until_a_crash_and_a_leak_at_exit_is_traced_to_its_case(self):
        self.run_suite("-j", "1")
        # All in one process; after the crash, the cases it had not reached in a second, which
        # times out. The passing cases of both never reached their exit checks: they run again
        # together, and as the leak report fails that process, one by one.
        self.assertEqual(self.processes[0], ["Good.One", "Good.Two", "Bad.Fails", "Crash.Dies", "Crash.After",
                                             "Skip.Me", "Param/Values.Holds/0", "Slow.Hangs"])
        self.assertEqual(self.processes[1], ["Crash.After", "Skip.Me", "Param/Values.Holds/0", "Slow.Hangs"])
        passed = ["Crash.After", "Good.One", "Good.Two", "Param/Values.Holds/0"]
        self.assertEqual(sorted(self.processes[2]), passed)
        self.assertEqual(sorted(p[0] for p in self.processes[3:]), passed)
        self.assertTrue(all(len(p) == 1 for p in self.processes[3:]))

    def test_a_name_filter_and_the_times_of_the_last_run_shape_the_shards(self):
        out = self.run_suite("-R", "^Good|Param")
        self.assertIn("67% tests passed, 1 tests failed out of 3", out.stdout)
        with open(os.path.join(self.build.name, "tests", "case-times.tsv")) as f:
            times = dict(line.rstrip("\n").split("\t") for line in f)
        self.assertEqual(times, {"fake/Good.One": "0.005", "fake/Param/Values.Holds/0": "0.005"})

        out = self.run_suite("-R", "^Good.One$", "-j", "2")
        self.assertIn("100% tests passed, 0 tests failed out of 1", out.stdout)
        self.assertTrue(re.search(r"1/1 fake \(1 cases\) \.+ +Passed", out.stdout), out.stdout)

    def test_a_file_left_in_a_cases_temporary_folder_fails_the_run_naming_the_case(self):
        shared = tempfile.TemporaryDirectory()
        self.addCleanup(shared.cleanup)
        out = self.run_suite("-R", "^Good.One$|^Param", "-j", "1",
                             env={"FAKE_LITTER": "Param/Values.Holds/0", "TMPDIR": shared.name})
        self.assertEqual(out.returncode, 8, out.stdout)
        self.assertIn("1 tests failed out of 2", out.stdout)
        self.assertIn("fake: Param/Values.Holds/0 (Failed)", out.stdout)
        self.assertRegex(out.stdout, r"--- fake: Param/Values.Holds/0\n(.*\n)*\*\*\* left in its temporary folder: korva-left")
        # The two ran together, then one process each to find which; every process had a folder of
        # its own under the run's, and nothing is left of them.
        self.assertEqual(self.processes, [["Good.One", "Param/Values.Holds/0"], ["Good.One"], ["Param/Values.Holds/0"]])
        self.assertEqual(os.listdir(shared.name), [])

        out = self.run_suite("-R", "^Good.One$", env={"TMPDIR": shared.name})
        self.assertEqual(out.returncode, 0, out.stdout)

    def test_a_binary_gone_between_its_listing_and_its_run_fails_every_case_it_had(self):
        for jobs in ["1", "3"]:
            out = self.run_suite("-R", "^Good|^Param", "-j", jobs, env={"FAKE_VANISH": "1"})
            self.assertEqual(out.returncode, 8, out.stdout + out.stderr)
            self.assertIn("0% tests passed, 3 tests failed out of 3", out.stdout)
            for case in ["Good.One", "Good.Two", "Param/Values.Holds/0"]:
                self.assertIn(f"fake: {case} (Failed)", out.stdout)
            self.assertRegex(out.stdout, r"--- fake: Good.One\n\*\*\* cannot run .*fake_suite.py")


if __name__ == "__main__":
    unittest.main()
