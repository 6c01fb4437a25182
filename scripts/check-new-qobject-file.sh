#!/usr/bin/env bash
# New-file check: a Q_OBJECT header and source added to a folder whose
# sources are globbed must get their moc code from a plain `cmake --build` in
# a build tree that already exists (the top CMakeLists.txt says why it would
# not by itself). Puts a throwaway class with a signal into runtime/controls/,
# builds that room's library, and fails unless the library defines the class's
# meta-object and signal; then removes the files and builds the library again,
# which checks that a removed file leaves the build whole too.
#
#   scripts/check-new-qobject-file.sh [BUILD_DIR]
#
# BUILD_DIR (build, or $NUVARO_BUILD_DIR) must be configured already. The
# check takes the time of one AUTOMOC run and two compiles of the room's moc
# code.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-${NUVARO_BUILD_DIR:-build}}
target=nuvaro_rt_controls
library=$build_dir/runtime/controls/lib$target.a
probe=runtime/controls/zz_new_file_probe
if [[ ! -f $build_dir/build.ninja ]]; then
  echo "check-new-qobject-file: $build_dir is not a configured build folder" >&2
  exit 2
fi
if [[ -e $probe.h || -e $probe.cpp ]]; then
  echo "check-new-qobject-file: $probe.* exists already; remove it first" >&2
  exit 2
fi

build() {
  local output
  if ! output=$(cmake --build "$build_dir" --target "$target" 2>&1); then
    tail -n 20 <<<"$output" >&2
    return 1
  fi
}
build

cleanup() {
  local status=$?
  rm -f "$probe.h" "$probe.cpp"
  if ! build; then
    echo "check-new-qobject-file: FAIL: $target does not build once the file is gone" >&2
    status=1
  fi
  exit "$status"
}
trap cleanup EXIT

cat >"$probe.h" <<'EOF'
#pragma once
#include <QObject>
class NewFileProbe : public QObject {
  Q_OBJECT
signals:
  void committed();
};
EOF
cat >"$probe.cpp" <<'EOF'
#include "runtime/controls/zz_new_file_probe.h"
void RaiseNewFileProbe(NewFileProbe &probe) { emit probe.committed(); }
EOF
build
symbols=$(nm -C --defined-only "$library")
for symbol in 'NewFileProbe::staticMetaObject' 'NewFileProbe::committed()'; do
  if ! grep -qF "$symbol" <<<"$symbols"; then
    echo "check-new-qobject-file: FAIL: $target has no $symbol: AUTOMOC skipped the new file" >&2
    exit 1
  fi
done
echo "check-new-qobject-file: PASS"
