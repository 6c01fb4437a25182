# Endings that close the port: a log-off (wineboot --end-session) while the
# installed panel has COM8 open, and Ctrl+C (GenerateConsoleCtrlEvent, by
# tests/windows/ctrl_event_run.exe) to the installed nuvaroctl.exe polling it.
# A port closed the normal way gets back the line settings it had before the
# program opened it (Qt restores them); a process merely ended leaves the
# program's 38400 baud on the pseudo-terminal. So the line is first set to
# 9600 baud, and must read 9600 again afterwards.
# Ctrl+Break and a closed console are proved by the unit test
# ConsoleEvents.EachClosesThePortAndEndsTheProgramAsCtrlCDoes: Wine 8 refuses
# GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT) with ERROR_INVALID_HANDLE.
source "$(dirname "$0")/lib.sh"
ctl_win="$install_dir_win\\nuvaroctl.exe"
ctrl_event_run=$NUVARO_WIN_BUILD_DIR/bin/ctrl_event_run.exe

baud() { stty -F "$devsim_pty" | sed -n 's/^speed \([0-9]*\) baud.*/\1/p'; }
wait_baud() { # baud seconds
  for _ in $(seq $(($2 * 5))); do
    [[ $(baud) == "$1" ]] && return 0
    sleep 0.2
  done
  return 1
}

# The panel, through the keyboard: COM8 typed into the port choice, then
# Ctrl+Return downloads; then the session ends.
start_devsim 8 --rate 1500
stty -F "$devsim_pty" 9600
wine "$install_dir/nuvaro.exe" >"$NUVARO_WINE_WORK/endings-panel.log" 2>&1 &
window=$(wait_window "$panel_title" 60) || fail "no window '$panel_title'"
sleep 2
xdotool windowactivate "$window" 2>/dev/null || true
choose_port "$window" COM8
sleep 1
xdotool key --window "$window" ctrl+Return
wait_baud 38400 20 || fail "the panel did not open COM8 (the line is at $(baud) baud)"
wineboot --end-session || fail "wineboot --end-session failed"
wait_baud 9600 20 || fail "after the log-off COM8 was not closed: the line is at $(baud) baud"
echo "endings: a log-off closed the panel's port"
end_wine_processes

# nuvaroctl.exe polling, then Ctrl+C.
stty -F "$devsim_pty" 9600
set +e
out=$(wine_run 90 "$ctrl_event_run" c 4000 "$ctl_win" --port COM8 rate --count 0 --interval 0.3 |
  tr -d '\r')
set -e
echo "$out"
grep -qx 'exit status 0xC000013A' <<<"$out" || fail "Ctrl+C did not end nuvaroctl.exe with STATUS_CONTROL_C_EXIT"
[[ $(baud) == 9600 ]] || fail "after Ctrl+C COM8 was not closed: the line is at $(baud) baud"
stop_devsim
echo "endings: Ctrl+C closed nuvaroctl.exe's port and ended it with 0xC000013A"
