# A real serial port with nothing on it: COM1 is the machine's /dev/ttyS0, as
# Wine maps it by itself. nuvaroctl.exe's check and rate end with 无应答
# within their time, and the panel, sending to it with Ctrl+Return, shows its
# failure popup and quits on Ctrl+Q: no serial call waits for a character
# that never comes. Skipped, and said so, where the machine has no
# /dev/ttyS0 or it cannot be opened.
source "$(dirname "$0")/lib.sh"
tty=/dev/ttyS0
if [[ ! -c $tty ]]; then
  echo "silent-port: SKIPPED: this machine has no $tty"
  exit 0
fi
if ! stty -F "$tty" >/dev/null 2>&1; then
  echo "silent-port: SKIPPED: $tty cannot be opened here ($(stty -F "$tty" 2>&1 | head -1))"
  exit 0
fi
ln -sfn "$tty" "$WINEPREFIX/dosdevices/com1"
ctl="$install_dir/nuvaroctl.exe"
faults=()

# Each within its own time: a check is five tries of 0.1 s, a rate of three
# polls 1.5 s; the limits leave room for Wine's start.
start=$(date +%s%N)
set +e
out=$(timeout 30 wine "$ctl" --port COM1 check 2>&1 | tr -d '\r')
status=$?
set -e
echo "$out"
echo "check on COM1: status $status after $((($(date +%s%N) - start) / 1000000)) ms"
[[ $status == 1 ]] || faults+=("check on the silent COM1 gave status $status (124: it hung)")
grep -q '无应答' <<<"$out" || faults+=("check on the silent COM1 did not say 无应答")
set +e
out=$(timeout 30 wine "$ctl" --port COM1 rate --count 3 --interval 0.5 2>&1 | tr -d '\r')
status=$?
set -e
echo "$out"
[[ $status == 1 ]] || faults+=("rate on the silent COM1 gave status $status (124: it hung)")
[[ $(grep -c '无应答' <<<"$out") == 3 ]] || faults+=("rate on the silent COM1: not three 无应答")

# The panel: COM1 by the keyboard, then Ctrl+Return. The failure popup is a
# second window of the program; Enter closes it, Ctrl+Q ends the program.
wine "$install_dir/nuvaro.exe" >"$NUVARO_WINE_WORK/silent-port-panel.log" 2>&1 &
panel=$!
window=$(wait_window "$panel_title" 60) || fail "no window '$panel_title'"
sleep 2
xdotool windowactivate "$window" 2>/dev/null || true
choose_port "$window" COM1
sleep 1
xdotool key --window "$window" ctrl+Return
windows() { xdotool search --onlyvisible --classname 'nuvaro.exe' 2>/dev/null | wc -l; }
popup=0
for _ in $(seq 60); do
  if (($(windows) >= 2)); then
    popup=1
    break
  fi
  sleep 0.5
done
screenshot "$NUVARO_WINE_WORK/silent-port-panel.png"
((popup)) || faults+=("the panel showed no failure popup within 30 s of Ctrl+Return on COM1")
xdotool key Return
sleep 1
xdotool windowactivate "$window" 2>/dev/null || true
xdotool key --window "$window" ctrl+q
for _ in $(seq 40); do
  kill -0 "$panel" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$panel" 2>/dev/null; then
  faults+=("the panel did not end on Ctrl+Q after the download to COM1")
fi
end_wine_processes
((${#faults[@]} == 0)) || fail "$(printf '%s; ' "${faults[@]}")(see $NUVARO_WINE_WORK/silent-port-panel.png)"
echo "silent-port: COM1 ($tty) gives 无应答 to check and rate; the panel shows its popup and quits"
