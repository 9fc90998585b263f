#!/usr/bin/env bash
# Keeps `make fuzz` building without building it: every C++ source the fuzz targets are made
# from (their own files and those of the libraries they link) is compiled with clang for syntax
# and warnings only, as the fuzz build would compile it. No objects are written, so it costs a
# fraction of the fuzz build. Then one fuzzer, the JSON reader's (on the smallest libraries), is
# built and linked for real, so that a missing fuzzer or sanitizer runtime fails here too.
#
#   scripts/fuzz-check.sh [BUILD_DIR]     (default build/fuzz-check; JOBS sets the parallelism)
set -euo pipefail
build=${1:-build/fuzz-check}
jobs=${JOBS:-$(nproc)}
command -v clang++ >/dev/null || { echo "fuzz-check: clang++ is missing (see fuzz/packages.txt)" >&2; exit 1; }

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVA_TESTS=OFF \
  -DKORVA_FUZZ=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON >/dev/null

# The sources behind the fuzz targets, as absolute paths, one a line.
sources=$(cd "$build" && ninja -t inputs korva_fuzz | grep -E '\.(cpp|cc|c)$' | xargs -r realpath -m | sort -u)
[ -n "$sources" ] || { echo "fuzz-check: no sources found behind korva_fuzz" >&2; exit 1; }

# Each source's compile line from the compilation database (JSON unescaped), without the cache
# launcher and the object output, to be run by the shell in the build folder.
commands="$build/fuzz-check-commands.txt"
awk -v list="$sources" '
  BEGIN { n = split(list, wanted, "\n"); for (i = 1; i <= n; ++i) want[wanted[i]] = 1 }
  function unquoted(text) {
    sub(/^[^:]*: "/, "", text); sub(/",?[ \t]*$/, "", text)
    gsub(/\\\\/, "\001", text); gsub(/\\"/, "\"", text); gsub(/\001/, "\\", text)
    return text
  }
  /^ *"command":/ { line = unquoted($0) }
  /^ *"file":/ {
    if (unquoted($0) in want) {
      cmd = substr(line, index(line, "clang"))
      sub(/ -o [^ ]+/, "", cmd)
      print cmd " -fsyntax-only"
    }
  }' "$build/compile_commands.json" | sort -u >"$commands"
count=$(wc -l <"$commands")

# The standard headers every target shares, precompiled once (as the other builds do): parsing
# them is most of a line's time. clang accepts the header on lines whose include folders and
# definitions add to those it was made with; it is made with those of the precompiled-header holder.
pch=$(realpath -m "$build/fuzz-check.pch")
holder=$(grep -m1 -E ' -c [^ ]*/generated/korva_pch\.cpp -fsyntax-only$' "$commands") \
  || { echo "fuzz-check: no precompiled-header holder in the compile lines" >&2; exit 1; }
(cd "$build" && eval "${holder% -c *} -x c++-header generated/korva_pch_headers.hxx -o $pch")
sed -i "s|\$| -include-pch $pch|" "$commands"
echo "fuzz-check: $count sources, clang -fsyntax-only, $jobs at a time"

# Lines whose source and headers are unchanged since they last passed are not compiled again; the
# record of what passed lives beside the compiler cache, so a fresh clone on the same machine reuses it.
cache=${KORVA_FUZZ_CHECK_CACHE:-${CCACHE_DIR:-$HOME/.cache/korva-ccache}/fuzz-check}
log="$build/fuzz-check.log"
if ! python3 "$(dirname "$0")/fuzz_check_run.py" "$commands" "$build" "$cache" "$jobs" "$log" "$PWD"; then
  cat "$log" >&2
  echo "fuzz-check: FAILED (clang cannot compile the fuzz targets' sources)" >&2
  exit 1
fi

# The link is what needs clang's runtimes (libFuzzer's main, the sanitizers'): a syntax pass never
# reaches it. Objects go through the compiler cache like every other build's.
echo "fuzz-check: building and linking korva_fuzz_json"
if ! cmake --build "$build" --target korva_fuzz_json -j "$jobs" >"$build/fuzz-link.log" 2>&1; then
  tail -n 40 "$build/fuzz-link.log" >&2
  echo "fuzz-check: FAILED (a fuzz target cannot be built and linked; see fuzz/packages.txt)" >&2
  exit 1
fi
echo "fuzz-check: clean"
