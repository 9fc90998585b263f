#!/usr/bin/env python3
"""The rules check, the format check and the fuzz check's record of passed lines, on small trees of their own."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
SCRIPTS = os.path.join(ROOT, "scripts")
with open(os.path.join(ROOT, "ARCHITECTURE.md")) as _handle:
    ARCHITECTURE = _handle.read()


def write(root, path, text):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w") as handle:
        handle.write(text)


class CheckRulesTest(unittest.TestCase):
    def check(self, files, architecture=ARCHITECTURE):
        """Runs the check over a tree of the given files, drawn by the project's own ARCHITECTURE.md."""
        with tempfile.TemporaryDirectory() as root:
            if architecture is not None:
                write(root, "ARCHITECTURE.md", architecture)
            for path, text in files.items():
                write(root, path, text)
            run = subprocess.run([sys.executable, os.path.join(SCRIPTS, "check_rules.py"), root],
                                 capture_output=True, text=True)
            return run.returncode, run.stdout

    def test_a_tree_that_keeps_the_layers_passes(self):
        code, out = self.check({
            "camera/screen.cpp": '#include "ui/pop.h"\n#include "app/base.h"\n#include "platform/ui/view.h"\n',
            "app/base.cpp": '#include "foundation/global.h"\n',
            "platform/ui/view.cpp": '#include "platform/runtime/object.h"\n',
            "language/code_table_rows.cpp": "// Written by tools/x.py\n" + "int a;\n" * 700,
        })
        self.assertEqual(code, 0, out)

    def test_upward_includes_mutual_folders_and_long_files_fail(self):
        code, out = self.check({
            "platform/ui/view.cpp": '#include "ui/theme.h"\n',
            "foundation/global.cpp": '#include "camera/screen.h"\n',
            "app/shell.cpp": '#include "camera/screen.h"\n',
            "camera/screen.cpp": '#include "app/shell.h"\n',
            "platform/image/a.cpp": '#include "platform/photos/b.h"\n',
            "platform/photos/b.cpp": '#include "platform/image/a.h"\n',
            "widgets/big.cpp": "int a;\n" * 601,
        })
        self.assertEqual(code, 1)
        for expected in ('platform/ui/view.cpp: includes "ui/theme.h"', 'foundation/global.cpp: includes',
                         "app and camera include each other", "platform/image and platform/photos include",
                         "widgets/big.cpp: 601 lines"):
            self.assertIn(expected, out)


    def test_the_layers_are_the_ones_architecture_md_draws(self):
        upward = {"platform/ui/view.cpp": '#include "ui/theme.h"\n'}
        self.assertEqual(self.check(upward)[0], 1)
        # Drawn with the toolkit below the platform, the same include keeps the layers.
        redrawn = ("# x\n## Layers\n| layer | folders | what |\n|---|---|---|\n"
                   "| top | `platform` | all of it |\n| below | `ui` | the toolkit |\n## Next\n| a | `ui` | b |\n"
                   "## Platform modules\n| a | `ui` | b |\n")
        code, out = self.check(upward, redrawn)
        self.assertEqual(code, 0, out)
        # Without a drawing, or with one that draws no layers or a folder twice, nothing passes.
        for architecture, says in ((None, "cannot read the layer table"),
                                   ("# x\n## Layers\nnone yet\n", 'no table of layers under "## Layers"'),
                                   ("## Layers\n| a | `ui` | x |\n| b | `ui` `app` | y |\n", "puts ui in more than one layer"),
                                   ("## Layers\n| a | `app` | x |\n", 'no table of platform modules')):
            code, out = self.check({"app/a.cpp": "int a;\n"}, architecture)
            self.assertEqual(code, 1, out)
            self.assertIn(says, out)

    def test_the_platform_modules_stack_as_architecture_md_draws(self):
        # The views may use the photo library below them; the library may not reach up to the views,
        # nor one module of a row into another of the same row.
        along = {"platform/ui/picker.cpp": '#include "platform/photos/library.h"\n'}
        self.assertEqual(self.check(along)[0], 0)
        for planted, says in (({"platform/photos/library.cpp": '#include "platform/ui/view.h"\n'}, "a row above its own"),
                              ({"platform/net/session.cpp": '#include "platform/capture/device.h"\n'}, "its own row"),
                              ({"platform/ghost/a.cpp": "int a;\n"}, "platform/ghost is in no row")):
            code, out = self.check(planted)
            self.assertEqual(code, 1, out)
            self.assertIn(says, out)
        # Drawn the other way round, the planted include keeps the order and the first breaks it.
        redrawn = ARCHITECTURE.replace("| views | `ui` |", "| views | `photos` |").replace(
            "`net` `capture` `photos` `usernotify`", "`net` `capture` `ui` `usernotify`")
        self.assertEqual(self.check({"platform/photos/library.cpp": '#include "platform/ui/view.h"\n'}, redrawn)[0], 0)
        self.assertEqual(self.check(along, redrawn)[0], 1)


class CheckFormatTest(unittest.TestCase):
    """Only C++ files changed since the formatting commit are held to .clang-format."""

    def git(self, root, *args):
        subprocess.run(["git", "-C", root, *args], check=True, capture_output=True,
                       env=dict(os.environ, GIT_AUTHOR_NAME="t", GIT_AUTHOR_EMAIL="t@t", GIT_COMMITTER_NAME="t",
                                GIT_COMMITTER_EMAIL="t@t"))

    def run_check(self, root, path=None):
        env = dict(os.environ)
        if path is not None:
            env["PATH"] = path
        return subprocess.run(["bash", os.path.join(root, "scripts", "check_format.sh")], capture_output=True,
                              text=True, env=env)

    @unittest.skipUnless(shutil.which("clang-format") or os.environ.get("CI") == "true", "clang-format missing")
    def test_a_misformatted_change_fails_and_a_formatted_one_passes(self):
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, "scripts"))
            for path in ("scripts/check_format.sh", ".clang-format"):
                shutil.copy(os.path.join(ROOT, path), os.path.join(root, path))
            write(root, "old.cpp", "int   old( ) {return 1;}\n")  # before the formatting commit: not held
            self.git(root, "init", "-q")
            self.git(root, "add", ".")
            self.git(root, "commit", "-q", "-m", "Start")
            self.git(root, "commit", "-q", "--allow-empty", "-m", "Format the tree with .clang-format")
            write(root, "good.cpp", "int good() {\n    return 1;\n}\n")
            run = self.run_check(root)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertIn("1 changed C++ files formatted", run.stdout)
            write(root, "bad.h", "int   bad( ) {return 1;}\n")
            self.git(root, "add", "bad.h")
            self.git(root, "commit", "-q", "-m", "A change")
            run = self.run_check(root)
            self.assertEqual(run.returncode, 1)
            self.assertIn("not formatted (run clang-format -i): bad.h", run.stderr)
            self.assertNotIn("old.cpp", run.stderr)
            # A machine without clang-format stops with the reason, not a pass.
            bare = os.path.join(root, "bin")
            os.makedirs(bare)
            for tool in ("git", "bash", "grep", "sort", "dirname"):
                os.symlink(shutil.which(tool), os.path.join(bare, tool))
            run = self.run_check(root, bare)
            self.assertEqual((run.returncode, run.stderr.strip()), (1, "check-format: clang-format is missing"))


class FuzzCheckRecordTest(unittest.TestCase):
    """A line that passed is skipped until its source or any header it read changes."""

    def test_only_changed_lines_are_compiled_again_and_failures_are_not_recorded(self):
        with tempfile.TemporaryDirectory() as root:
            build, cache = os.path.join(root, "build"), os.path.join(root, "cache")
            os.makedirs(build)
            write(root, "a.h", "int a();\n")
            write(root, "a.cpp", '#include "a.h"\nint a() { return 1; }\n')
            write(root, "b.cpp", "int b() { return 2; }\n")
            compiler = os.path.join(root, "fake-compiler")
            # A stand-in compiler: logs the source, writes its dependency list, fails on "broken".
            write(root, "fake-compiler", f"""#!{sys.executable}
import sys
source, depfile = sys.argv[1], sys.argv[sys.argv.index('-MF') + 1]
open({os.path.join(root, 'log')!r}, 'a').write(source + '\\n')
text = open(source).read()
deps = [source] + (['{root}/a.h'] if 'a.h' in text else [])
open(depfile, 'w').write('x.o: ' + ' '.join(deps) + '\\n')
sys.exit(1 if 'broken' in text else 0)
""")
            os.chmod(compiler, 0o755)
            write(root, "commands", f"{compiler} {root}/a.cpp -I{root}\n{compiler} {root}/b.cpp -I{root}\n")

            def run():
                open(os.path.join(root, "log"), "w").close()
                code = subprocess.run([sys.executable, os.path.join(SCRIPTS, "fuzz_check_run.py"),
                                       os.path.join(root, "commands"), build, cache, "2",
                                       os.path.join(root, "out.log"), root], capture_output=True).returncode
                return code, sorted(os.path.basename(line) for line in open(os.path.join(root, "log")).read().split())

            self.assertEqual(run(), (0, ["a.cpp", "b.cpp"]))
            self.assertEqual(run(), (0, []))
            # Another clone of the same tree, elsewhere, with the same record: nothing to compile.
            with tempfile.TemporaryDirectory() as other:
                clone = os.path.join(other, "clone")
                shutil.copytree(root, clone, ignore=shutil.ignore_patterns("cache", "log"))
                write(clone, "commands", f"{clone}/fake-compiler {clone}/a.cpp -I{clone}\n"
                                          f"{clone}/fake-compiler {clone}/b.cpp -I{clone}\n")
                write(clone, "fake-compiler", open(compiler).read().replace(root, clone))
                os.chmod(os.path.join(clone, "fake-compiler"), 0o755)
                open(os.path.join(clone, "log"), "w").close()
                code = subprocess.run([sys.executable, os.path.join(SCRIPTS, "fuzz_check_run.py"),
                                       os.path.join(clone, "commands"), os.path.join(clone, "build"), cache, "2",
                                       os.path.join(clone, "out.log"), clone], capture_output=True).returncode
                self.assertEqual((code, open(os.path.join(clone, "log")).read().split()), (0, []))
            write(root, "a.h", "int a(); // changed\n")
            self.assertEqual(run(), (0, ["a.cpp"]))
            write(root, "b.cpp", "broken\n")
            self.assertEqual(run(), (1, ["b.cpp"]))
            self.assertEqual(run(), (1, ["b.cpp"]))


if __name__ == "__main__":
    unittest.main()
