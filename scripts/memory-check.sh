#!/usr/bin/env bash
# Whether a photo's pictures go back to the system once freed on a worker thread, with the start the
# program makes: main/main.cpp and the allocator's setting, built plainly (no sanitizer, whose
# allocator takes no such setting) with a check in place of the rest of the program
# (tests/platform/host/photo_memory_check.cpp). Three files, a few seconds.
#
#   scripts/memory-check.sh [BUILD_DIR]     (default build/memory-check)
set -euo pipefail
build=${1:-build/memory-check}
mkdir -p "$build"
cxx=${CXX:-c++}
# The Makefile's compiler cache, also when the script runs by itself.
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/korva-ccache}
command -v ccache >/dev/null && cxx="ccache $cxx"
flags=(-std=c++20 -O1 -pthread -Wall -Wextra -Werror -I. -ffile-prefix-map="$PWD"/=)
objects=()
for source in main/main.cpp platform/host/heap_trimmer.cpp tests/platform/host/photo_memory_check.cpp; do
  object="$build/$(basename "$source" .cpp).o"
  $cxx "${flags[@]}" -c "$source" -o "$object"
  objects+=("$object")
done
$cxx -pthread "${objects[@]}" -o "$build/photo_memory_check"
"$build/photo_memory_check"
