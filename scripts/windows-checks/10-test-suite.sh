# The unit and panel tests, built for Windows, under Wine through ctest (the
# build's CMAKE_CROSSCOMPILING_EMULATOR), headless. The tests left out on
# Windows are in tests/windows_skips.txt, with their reasons.
source "$(dirname "$0")/lib.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$NUVARO_WIN_BUILD_DIR" --output-on-failure -j"$(nproc)" --timeout 300
