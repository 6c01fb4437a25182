# The installed nuvaroctl.exe on COM5, which Wine maps to the pseudo-terminal
# of the Linux nuvaro-devsim: both downloads reach the device byte for byte
# as the Linux nuvaroctl's do (the simulator logs each frame it takes, or the
# bytes of one it could not; a try repeated because its reply came late on a
# busy machine is the same frame again, and counted once), a refused command
# ends with status 1 and is named, and a port a second nuvaroctl.exe holds
# gives status 3.
source "$(dirname "$0")/lib.sh"
ctl="$install_dir/nuvaroctl.exe"
linux_ctl=$NUVARO_BUILD_DIR/bin/nuvaroctl
download_example fixed fixed
download_example sweep sweep
rate=$(sed -n 's/.*--rate \([0-9]*\).*/\1/p' <<<"${fixed[*]}")

# The reference: the Linux program against the simulator.
start_devsim 5
"$linux_ctl" --port "$devsim_pty" "${fixed[@]}" >/dev/null
"$linux_ctl" --port "$devsim_pty" "${sweep[@]}" >/dev/null
stop_devsim
devsim_frames "$devsim_log" | uniq >"$NUVARO_WINE_WORK/com-linux.frames"
[[ $(wc -l <"$NUVARO_WINE_WORK/com-linux.frames") -ge 11 ]] || fail "the Linux reference run logged too little"

start_devsim 5
for sequence in fixed sweep; do
  declare -n args=$sequence
  out=$(wine_run 60 "$ctl" --port COM5 "${args[@]}" | tr -d '\r') || fail "$sequence over COM5: status $?: $out"
  echo "$out"
  grep -q '全部已确认' <<<"$out" || fail "$sequence over COM5 was not fully acknowledged"
done
stop_devsim
devsim_frames "$devsim_log" | uniq >"$NUVARO_WINE_WORK/com-windows.frames"
# Each part runs whatever the one before found; the faults are told at the end.
faults=()
diff "$NUVARO_WINE_WORK/com-linux.frames" "$NUVARO_WINE_WORK/com-windows.frames" ||
  faults+=("the device took other bytes from nuvaroctl.exe than from the Linux nuvaroctl (> Windows)")

# A refused command: status 1, and the command named.
start_devsim 5 --refuse R
set +e
out=$(wine_run 60 "$ctl" --port COM5 "${fixed[@]}" | tr -d '\r')
status=$?
set -e
stop_devsim
echo "$out"
[[ $status == 1 ]] || faults+=("a refused command gave status $status")
grep -q "R$rate,.*被拒绝" <<<"$out" || faults+=("the refused command was not named")

# A held port: the holder polls the rate until it is ended; the second
# nuvaroctl.exe gets status 3.
start_devsim 5
wine "$ctl" --port COM5 rate >"$NUVARO_WINE_WORK/com-holder.out" 2>&1 &
sleep 4 # the holder has the port open
set +e
out=$(wine_run 60 "$ctl" --port COM5 "${fixed[@]}" 2>&1 | tr -d '\r')
status=$?
set -e
end_wine_processes
stop_devsim
echo "$out"
[[ $status == 3 ]] || faults+=("a held port gave status $status: $out")
((${#faults[@]} == 0)) || fail "$(printf '%s; ' "${faults[@]}")"
echo "com: both downloads byte-exact over COM5, refused gives 1, held gives 3"
