#!/usr/bin/env bash
# Sanitizer run: builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, float-cast-overflow included (g++,
# -DNUVARO_SANITIZE=ON) in ./build-asan and
# runs every test headless with LeakSanitizer on. Fails on a failing test and
# on any sanitizer report, also from the programs the tests start (nuvaro,
# nuvaro-devsim): every report goes to a file under <build>/sanitizer-logs/,
# and the files are printed at the end.
#
# Leaks that Qt and fontconfig keep for the life of the process are
# suppressed by scripts/lsan.supp; each entry there says why.
#
#   NUVARO_ASAN_BUILD_DIR  build folder (build-asan)
#   NUVARO_JOBS            parallel build and test jobs (nproc)
#   ASAN_OPTIONS, UBSAN_OPTIONS, LSAN_OPTIONS are added to the ones set here
#   (fast_unwind_on_malloc=0 gives full leak stacks through Qt, slower).
#
# Extra arguments go to ctest, e.g. scripts/sanitize.sh -R 'ChInQu'.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${NUVARO_ASAN_BUILD_DIR:-build-asan}
jobs=${NUVARO_JOBS:-$(nproc)}
started=$SECONDS

scripts/install-deps.sh

echo "== sanitize: building with ASan and UBSan (g++) in $build_dir"
CC=gcc CXX=g++ NUVARO_BUILD_DIR=$build_dir NUVARO_BUILD_TYPE=RelWithDebInfo NUVARO_JOBS=$jobs \
  scripts/build.sh -DNUVARO_SANITIZE=ON -DNUVARO_BUILD_TESTS=ON -DNUVARO_BUILD_BENCHMARKS=OFF

logs=$(cd "$build_dir" && pwd)/sanitizer-logs
rm -rf "$logs"
mkdir -p "$logs"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:log_path=$logs/asan${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$logs/ubsan${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

echo "== sanitize: running the tests (detect_leaks=1)"
status=0
ctest --test-dir "$build_dir" --output-on-failure -j"$jobs" "$@" || status=$?

shopt -s nullglob
reports=("$logs"/*)
shopt -u nullglob
if ((${#reports[@]} > 0)); then
  echo "== sanitize: ${#reports[@]} sanitizer report(s):" >&2
  for report in "${reports[@]}"; do
    echo "--- $report" >&2
    cat "$report" >&2
  done
  status=1
fi

took=$((SECONDS - started))
if ((status == 0)); then
  echo "sanitize: PASS, no sanitizer report (${took} s)"
else
  echo "sanitize: FAIL (${took} s)" >&2
fi
exit "$status"
