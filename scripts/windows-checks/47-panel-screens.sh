# The panel on a laptop's screen at its scaling, under Wine on a display of
# that size at that dpi: 1366 x 768 at 120 dpi (125 %) and 1920 x 1080 at
# 144 dpi (150 %). The geometry tests run there on Qt's windows platform
# (nuvaro_tests.exe: PanelGeometry, CrispControls), and the installed panel
# is pictured with its link view open (panel-120dpi.png, panel-144dpi.png in
# the work folder; docs/windows.md shows them).
source "$(dirname "$0")/lib.sh"
qt=$(sed -n 's/^NUVARO_QT_MINGW_PREFIX:PATH=//p' "$NUVARO_WIN_BUILD_DIR/CMakeCache.txt")
tests=$NUVARO_WIN_BUILD_DIR/bin/nuvaro_tests.exe
[[ -d $qt && -f $tests ]] || fail "no Windows test program or Qt in $NUVARO_WIN_BUILD_DIR"
set_dpi() { # dpi
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
  end_wine_processes # the next process starts at that dpi
}
outer_display=$DISPLAY
xvfb_pid=
stop_display() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  xvfb_pid=
}
trap 'end_wine_processes; stop_display; DISPLAY=$outer_display set_dpi 96' EXIT

faults=()
for case in "120|1366x768" "144|1920x1080"; do
  dpi=${case%|*}
  size=${case#*|}
  set_dpi "$dpi"
  stop_display
  display=$((${outer_display#:} + 1))
  while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >"$NUVARO_WINE_WORK/xvfb-$dpi.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:$display
  sleep 1

  # The geometry, by the tests, on Wine's own screen (the platform named on
  # the command line: under Wine a Qt program does not see QT_QPA_PLATFORM).
  if WINEPATH="Z:$qt/bin" timeout 300 wine "$tests" --gtest_filter='PanelGeometry.*:CrispControls.*' \
    -platform windows >"$NUVARO_WINE_WORK/screens-$dpi.log" 2>&1; then
    grep -E '^\[ *(OK|SKIPPED|PASSED) ' "$NUVARO_WINE_WORK/screens-$dpi.log" | sed "s/^/$dpi dpi: /"
  else
    grep -vE '^0x[0-9a-f]+:' "$NUVARO_WINE_WORK/screens-$dpi.log" | tail -30
    faults+=("the geometry tests failed at $dpi dpi on $size")
  fi
  end_wine_processes

  # The installed panel, its link view opened with Alt+J.
  wine "$install_dir/nuvaro.exe" >"$NUVARO_WINE_WORK/screens-panel-$dpi.log" 2>&1 &
  if window=$(wait_window "$panel_title" 60); then
    sleep 3
    xdotool windowactivate "$window" 2>/dev/null || true
    xdotool key --window "$window" alt+j
    sleep 3
    eval "$(xdotool getwindowgeometry --shell "$window")"
    echo "$dpi dpi on $size: the window is ${WIDTH}x${HEIGHT} at $X,$Y"
    ((X >= 0 && Y >= 0 && X + WIDTH <= ${size%x*} && Y + HEIGHT <= ${size#*x})) ||
      faults+=("at $dpi dpi the window ${WIDTH}x${HEIGHT}+$X+$Y leaves the $size screen")
    screenshot "$NUVARO_WINE_WORK/panel-${dpi}dpi.png"
  else
    faults+=("no panel window at $dpi dpi")
  fi
  end_wine_processes
done
((${#faults[@]} == 0)) || fail "$(printf '%s; ' "${faults[@]}")"
echo "panel-screens: the panel fits 1366x768 at 120 dpi and 1920x1080 at 144 dpi, link view open"
