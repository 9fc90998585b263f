#!/usr/bin/env bash
# Runs every fuzz target of a build folder made with -DKORVA_FUZZ=ON (make fuzz does this) for
# SECONDS each, starting from the seeds and keeping what each run finds in BUILD/corpus/<target>.
# A crash leaves its input in BUILD/crashes/ and fails the run.
set -euo pipefail
build=${1:-build/fuzz}
seconds=${2:-20}
# A crash's stack names functions and lines through the llvm-symbolizer of the clang that built the
# targets (fuzz/packages.txt installs it). The sanitizers look only for the unversioned name on
# PATH, which a machine with the versioned tools alone lacks, so they are told where it is.
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
symbolizer=$("${compiler:-clang++}" -print-prog-name=llvm-symbolizer 2>/dev/null || true)
[[ "$symbolizer" == /* && -x "$symbolizer" ]] || symbolizer=$(command -v llvm-symbolizer || true)
if [[ -n "$symbolizer" ]]; then
  export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-$symbolizer}
  export UBSAN_SYMBOLIZER_PATH=${UBSAN_SYMBOLIZER_PATH:-$symbolizer}
else
  echo "fuzz: no llvm-symbolizer (fuzz/packages.txt installs it): a crash's stack gives addresses only"
fi
"$build/fuzz/korva_fuzz_seeds" "$build/corpus" >/dev/null
mkdir -p "$build/crashes"
status=0
for target in property_list keyed_archive json curves image text http_reply xml resume_data movie settings_form; do
  mkdir -p "$build/corpus/$target"
  echo "fuzz: $target for ${seconds}s"
  if ! "$build/fuzz/korva_fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$build/crashes/$target-" "$build/corpus/$target" \
      >"$build/fuzz-$target.log" 2>&1; then
    echo "fuzz: $target FAILED (see $build/fuzz-$target.log)"
    status=1
  fi
  grep -h "stat::number_of_executed_units" "$build/fuzz-$target.log" | sed 's/^/  /' || true
done
exit $status
