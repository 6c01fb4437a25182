#!/usr/bin/env bash
# Fuzz run: builds the libFuzzer targets of fuzz/ (clang, with AddressSanitizer
# and UndefinedBehaviorSanitizer) in ./build-fuzz and runs each for a bounded
# time on a copy of its seed corpus fuzz/corpus/<target>/. The repository's
# corpus is never written to. Any finding (a crash, a sanitizer report, a
# broken invariant, a leak, a slow unit, too much memory) fails the run; the
# input that caused it is kept in <build>/fuzz-artifacts/ and shown in hex.
#
#   FUZZ_SECONDS           seconds per target (60)
#   FUZZ_TARGETS           targets to run (every folder of fuzz/corpus)
#   NUVARO_FUZZ_BUILD_DIR  build folder (build-fuzz)
#   NUVARO_JOBS            parallel build jobs (nproc)
#
# Extra arguments go to every fuzz target, e.g. scripts/fuzz.sh -seed=1.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
build_dir=${NUVARO_FUZZ_BUILD_DIR:-build-fuzz}
jobs=${NUVARO_JOBS:-$(nproc)}
started=$SECONDS
[[ $seconds =~ ^[0-9]+$ ]] && ((seconds > 0)) || {
  echo "fuzz: FUZZ_SECONDS must be a positive whole number, not '$seconds'" >&2
  exit 2
}

if [[ -n ${FUZZ_TARGETS:-} ]]; then
  read -r -a targets <<<"$FUZZ_TARGETS"
else
  targets=()
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
((${#targets[@]} > 0)) || {
  echo "fuzz: no fuzz targets" >&2
  exit 2
}

# clang 14 and its run-time libraries (libFuzzer and the sanitizers).
scripts/install-deps.sh clang-14 libclang-rt-14-dev

echo "== fuzz: building ${targets[*]} in $build_dir"
CC=clang-14 CXX=clang++-14 NUVARO_BUILD_DIR=$build_dir NUVARO_BUILD_TYPE=RelWithDebInfo \
  NUVARO_JOBS=$jobs scripts/build.sh -DNUVARO_FUZZ=ON -DNUVARO_SANITIZE=OFF \
  -DNUVARO_BUILD_TESTS=OFF -DNUVARO_BUILD_BENCHMARKS=OFF "${targets[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/nuvaro-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
artifacts=$(cd "$build_dir" && pwd)/fuzz-artifacts
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

summary=()
failed=()
for target in "${targets[@]}"; do
  binary=$build_dir/bin/$target
  corpus=$work/$target/corpus
  log=$work/$target/log
  mkdir -p "$corpus" "$artifacts/$target"
  rm -f "$artifacts/$target"/*
  cp fuzz/corpus/"$target"/* "$corpus"/
  seeds=$(find "$corpus" -type f | wc -l)

  echo "== fuzz: $target for ${seconds} s on $seeds seed inputs"
  status=0
  "$binary" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
    -error_exitcode=77 -timeout_exitcode=78 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target/" "$@" "$corpus" >"$log" 2>&1 || status=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  grown=$(find "$corpus" -type f | wc -l)
  line="$target: ${runs:-?} runs, ${rate:-?} exec/s, corpus $seeds -> $grown inputs"
  if ((status != 0)); then
    failed+=("$target")
    summary+=("$line, FINDING (exit status $status)")
    echo "--- $target found a problem (exit status $status); the end of its output:" >&2
    grep -v '^"' "$log" | tail -n 60 >&2
    shopt -s nullglob
    for input in "$artifacts/$target"/*; do
      echo "--- input $input ($(stat -c %s "$input") bytes; rerun: $binary $input):" >&2
      od -An -tx1 -v "$input" | head -n 40 >&2
    done
    shopt -u nullglob
  else
    summary+=("$line, no finding")
  fi
done

echo "== fuzz: summary (${seconds} s per target)"
printf '%s\n' "${summary[@]}"
took=$((SECONDS - started))
if ((${#failed[@]} > 0)); then
  echo "fuzz: FAIL: ${failed[*]} (${took} s)" >&2
  exit 1
fi
echo "fuzz: PASS (${took} s)"
