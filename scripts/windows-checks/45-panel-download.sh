# The installed panel downloads through the keyboard alone: COM6 (which Wine
# maps to the pseudo-terminal of the Linux nuvaro-devsim) typed into the port
# choice with Enter, then Ctrl+Return; then the demo device, chosen from the
# port choice's list (Alt+P, Alt+Down, End, Enter), and Ctrl+Return again.
# - Over COM6 the device takes exactly the frames the Linux nuvaroctl sends
#   for the panel's start values (read from the installed panel file), none
#   refused; the meter's rate polls (?1,) are left out, a try repeated after a
#   late reply counts once.
# - The send button is green (edits not yet downloaded) after each port
#   choice and turns grey only when the download was acknowledged: counted as
#   pixels of its green on a capture of the window.
# - The demo download sends nothing more to COM6.
source "$(dirname "$0")/lib.sh"
panel_file="$install_dir/nuvaro.uir"
[[ -f $panel_file ]] || fail "no panel file $panel_file"
linux_ctl=$NUVARO_BUILD_DIR/bin/nuvaroctl
shot=$NUVARO_WINE_WORK/panel-download.png

# The panel's start values: each control's value, a ring's first item value.
start_value() { # control
  awk -v name="$1" '
    /<widget / { inside = index($0, "name=\"" name "\"") > 0 }
    inside && /<property name="(value|itemValues)"/ { take = 1; next }
    take { sub(/^[^>]*>/, ""); sub(/[,<].*/, ""); print; exit }
  ' "$panel_file"
}
work_mode=$(start_value CTL_WORKMODE)
rate=$(start_value CTL_RATE)
angle=$(start_value CTL_ANGLE)
width=$(start_value CTL_WIDTH)
signal_mode=$(start_value CTL_SIGNALMODE)
[[ $work_mode == 1 ]] || fail "the panel starts in work mode $work_mode, not the fixed rate this check expects"
fixed=(download fixed --rate "$rate" --angle "$angle" --width "$width" --signal-mode "$signal_mode")
echo "panel-download: start values: ${fixed[*]}"

# The frames a device took, less the rate polls, a repeated try once.
frames() { devsim_frames "$devsim_log" | grep -v '^?1,' | uniq || true; }

# The reference: the Linux program against the simulator.
start_devsim 6
"$linux_ctl" --port "$devsim_pty" "${fixed[@]}" >/dev/null
stop_devsim
frames >"$NUVARO_WINE_WORK/panel-download-linux.frames"
expected=$(wc -l <"$NUVARO_WINE_WORK/panel-download-linux.frames")
((expected >= 5)) || fail "the Linux reference run logged too little"
! grep -v ' -> E1$' "$NUVARO_WINE_WORK/panel-download-linux.frames" ||
  fail "the Linux reference run was not acknowledged throughout"

# Green pixels in the window: the send button's (app/state/controls.h
# COLOR_PENDING, #00D000, or its darker pressed and lighter hover shades)
# fill about 10000, the two LEDs' at most about 600.
green_pixels() {
  import -window "$window" "$shot"
  convert "$shot" -alpha off -fuzz 20% -fill black +opaque '#00B400' -fill white -opaque '#00B400' \
    -colorspace gray -format '%[fx:round(mean*w*h)]' info:
}
wait_button() { # green|grey seconds
  local n
  for _ in $(seq $(($2 * 2))); do
    n=$(green_pixels)
    if [[ $1 == green ]] && ((n >= 4000)); then break; fi
    if [[ $1 == grey ]] && ((n <= 1500)); then break; fi
    n=
    sleep 0.5
  done
  echo "panel-download: $1 wanted, $(green_pixels) green pixels"
  [[ -n $n ]]
}

start_devsim 6 --rate 1500
wine "$install_dir/nuvaro.exe" >"$NUVARO_WINE_WORK/panel-download.log" 2>&1 &
window=$(wait_window "$panel_title" 60) || fail "no window '$panel_title'"
sleep 2
xdotool windowactivate "$window" 2>/dev/null || true
faults=()

# COM6 by the keyboard.
choose_port "$window" COM6
wait_button green 10 || faults+=("the send button was not green after COM6 was chosen")
xdotool key --window "$window" ctrl+Return
for _ in $(seq 60); do
  (($(frames | wc -l) >= expected)) && break
  sleep 0.5
done
wait_button grey 20 || faults+=("the send button did not turn grey after the download over COM6")
sleep 1 # anything more the panel would send
frames >"$NUVARO_WINE_WORK/panel-download-windows.frames"
diff "$NUVARO_WINE_WORK/panel-download-linux.frames" "$NUVARO_WINE_WORK/panel-download-windows.frames" ||
  faults+=("the device took other frames from the panel than from the Linux nuvaroctl (> panel)")
if grep -v ' -> E1$' "$NUVARO_WINE_WORK/panel-download-windows.frames"; then
  faults+=("a frame from the panel was refused or not understood")
fi

# The demo device, the port choice's last entry, by the keyboard.
xdotool key --window "$window" alt+p alt+Down
sleep 1
xdotool key --window "$window" End Return
sleep 1
wait_button green 10 || faults+=("the send button was not green after the demo device was chosen")
xdotool key --window "$window" ctrl+Return
wait_button grey 20 || faults+=("the send button did not turn grey after the download to the demo device")
frames | diff "$NUVARO_WINE_WORK/panel-download-windows.frames" - ||
  faults+=("the download to the demo device sent frames to COM6")

screenshot "$NUVARO_WINE_WORK/panel-download-screen.png"
end_wine_processes
stop_devsim
((${#faults[@]} == 0)) || fail "$(printf '%s; ' "${faults[@]}")(see $shot)"
echo "panel-download: over COM6 ($expected frames, as the Linux nuvaroctl's) and to the demo device, by the keyboard"
