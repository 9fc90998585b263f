#!/usr/bin/env bash
# Fails when a C++ file changed since the tree was formatted is not as .clang-format formats it.
# The tree was formatted once, in the commit named below; every change after it keeps the format.
# Without that commit in the history (a shallow clone), every C++ file is checked.
#
#   scripts/check_format.sh        (clang-format from the machine's packages)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is missing" >&2; exit 1; }
base=$(git log --format=%H -1 --grep='^Format the tree with .clang-format$' 2>/dev/null || true)
if [ -n "$base" ]; then
  files=$( { git diff --name-only --diff-filter=d "$base"; git ls-files --others --exclude-standard; } |
           grep -E '\.(h|hpp|cpp|cc|c)$' | sort -u || true)
else
  files=$(git ls-files | grep -E '\.(h|hpp|cpp|cc|c)$' || true)
fi
count=0
bad=()
for file in $files; do
  [ -f "$file" ] || continue
  count=$((count + 1))
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    bad+=("$file")
  fi
done
if ((${#bad[@]})); then
  printf 'check-format: not formatted (run clang-format -i): %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "check-format: $count changed C++ files formatted"
