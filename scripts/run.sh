#!/usr/bin/env bash
# Installs what is missing, builds what the panel needs (the program, its
# panel file and the device simulator, no tests or benchmarks) and starts the
# panel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh nuvaro nuvaro_panel_file nuvaro-devsim
# Without a display the program exits at once with status -1 and no message;
# say why here. A platform chosen explicitly (QT_QPA_PLATFORM) is left to Qt.
if [[ -z ${QT_QPA_PLATFORM:-} && -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "run: no display (DISPLAY and WAYLAND_DISPLAY are unset): start it from a desktop session" >&2
  exit 1
fi
exec "${NUVARO_BUILD_DIR:-build}/bin/nuvaro"
