#!/usr/bin/env bash
# Configures and builds into ./build (or $NUVARO_BUILD_DIR). The other
# scripts build through this one, each with its own folder and options.
#
#   scripts/build.sh [-DOPTION=VALUE ...] [TARGET ...]
#
# Arguments starting with "-" go to the cmake configure step; the others name
# the targets to build (every target when none is named).
#
#   NUVARO_BUILD_DIR   build folder (build)
#   NUVARO_BUILD_TYPE  CMAKE_BUILD_TYPE (RelWithDebInfo)
#   NUVARO_JOBS        parallel build jobs (nproc)
#   NUVARO_WERROR      ON or OFF: warnings in the project's own code are errors
#                      (kept from the last configure when unset; CI sets ON)
#   CC, CXX            the compilers, as cmake reads them on the first configure
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${NUVARO_BUILD_DIR:-build}
jobs=${NUVARO_JOBS:-$(nproc)}
options=()
if [[ -n ${NUVARO_WERROR:-} ]]; then options+=("-DNUVARO_WERROR=$NUVARO_WERROR"); fi
targets=()
for arg in "$@"; do
  if [[ $arg == -* ]]; then options+=("$arg"); else targets+=("$arg"); fi
done
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${NUVARO_BUILD_TYPE:-RelWithDebInfo}" \
  "${options[@]}" >/dev/null
if ((${#targets[@]} > 0)); then
  cmake --build "$build_dir" -j"$jobs" --target "${targets[@]}"
else
  cmake --build "$build_dir" -j"$jobs"
fi
