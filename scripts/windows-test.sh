#!/usr/bin/env bash
# Checks the Windows build under Wine: runs every check in
# scripts/windows-checks/ (NN-name.sh, in name order) in one fresh Wine
# prefix with one virtual display, and says which passed. A check is a bash
# script that sources windows-checks/lib.sh and exits non-zero on a fault;
# the checks after the installer's see the installed programs, the last one
# uninstalls. Add a check by adding a file.
#
# A check named in scripts/windows-checks/pending.txt runs and reports as
# usual, but its failure does not fail the run: a fault found and not yet
# fixed, each line naming the check and the fault. Its line goes when the fix
# lands; a pending check that passes is reported, so that the line is removed.
#
#   scripts/windows-test.sh [CHECK ...]   (names without NN- and .sh; all when none)
#
# Needs scripts/windows.sh's build-windows/ (programs, tests, installer, zip)
# and the Linux build's nuvaro-devsim (scripts/build.sh) for the COM port.
#
#   NUVARO_WIN_BUILD_DIR   the Windows build (build-windows)
#   NUVARO_BUILD_DIR       the Linux build (build)
#   NUVARO_WINE_WORK       where the prefix, logs and screenshots go
#                          (a new folder under /tmp)
set -euo pipefail
cd "$(dirname "$0")/.."
export NUVARO_SOURCE_DIR=$PWD
export NUVARO_WIN_BUILD_DIR=$(realpath "${NUVARO_WIN_BUILD_DIR:-build-windows}")
export NUVARO_BUILD_DIR=$(realpath "${NUVARO_BUILD_DIR:-build}")
export NUVARO_WINE_WORK=${NUVARO_WINE_WORK:-$(mktemp -d /tmp/nuvaro-wine.XXXXXX)}
mkdir -p "$NUVARO_WINE_WORK"
export WINEPREFIX=$NUVARO_WINE_WORK/prefix
export WINEDEBUG=-all
unset QT_QPA_PLATFORM # real windows on the virtual display; the test suite sets its own
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko prompts

# One virtual display for every check: the first free number from 90.
display=90
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$NUVARO_WINE_WORK/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

t0=$(date +%s)
wineboot -i >"$NUVARO_WINE_WORK/wineboot.log" 2>&1
wineserver -w
echo "windows-test: Wine prefix $WINEPREFIX ready in $(($(date +%s) - t0)) s (display $DISPLAY)"

checks=()
for file in scripts/windows-checks/[0-9][0-9]-*.sh; do
  name=$(basename "$file" .sh)
  name=${name#[0-9][0-9]-}
  if (($# == 0)) || [[ " $* " == *" $name "* ]]; then checks+=("$file"); fi
done

pending=$(grep -oE '^[0-9][0-9]-[a-z0-9-]+' scripts/windows-checks/pending.txt 2>/dev/null || true)
failed=()
passed=0
for file in "${checks[@]}"; do
  name=$(basename "$file" .sh)
  start=$(date +%s)
  if bash "$file" >"$NUVARO_WINE_WORK/$name.log" 2>&1; then
    passed=$((passed + 1))
    if grep -qx "$name" <<<"$pending"; then
      echo "windows-test: PASS $name, listed as pending: remove it from scripts/windows-checks/pending.txt"
    else
      echo "windows-test: PASS $name ($(($(date +%s) - start)) s)"
    fi
  else
    if grep -qx "$name" <<<"$pending"; then
      echo "windows-test: PENDING-FAIL $name ($(($(date +%s) - start)) s; a known fault, scripts/windows-checks/pending.txt); its log:"
    else
      echo "windows-test: FAIL $name ($(($(date +%s) - start)) s); its log:"
      failed+=("$name")
    fi
    { grep -v '^0x[0-9a-f]*:' "$NUVARO_WINE_WORK/$name.log" || true; } | sed 's/^/  | /' | tail -40
  fi
done
echo "windows-test: ${#checks[@]} checks in $(($(date +%s) - t0)) s; logs in $NUVARO_WINE_WORK"
if ((${#failed[@]} > 0)); then
  echo "windows-test: failed: ${failed[*]}"
fi
# The closing line, alone: a pending check that fails counts in neither number
# (its PENDING-FAIL line above says so), one that passes counts as passed. The
# run fails when any check not pending failed.
echo "windows-test: $passed passed, ${#failed[@]} failed"
((${#failed[@]} == 0))
