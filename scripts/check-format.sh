#!/usr/bin/env bash
# Fails when clang-format (Debian 12's, version 14, with the repository's
# .clang-format) would change a tracked C++ file, and names each such file.
#
#   scripts/check-format.sh          check every tracked .cpp and .h
#   scripts/check-format.sh --fix    format them in place instead
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang-format >/dev/null
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ ${1:-} == --fix ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then unformatted+=("$f"); fi
done
if ((${#unformatted[@]} > 0)); then
  echo "check-format: clang-format would change ${#unformatted[@]} file(s):"
  printf '  %s\n' "${unformatted[@]}"
  echo "check-format: run scripts/check-format.sh --fix, and commit the result"
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
