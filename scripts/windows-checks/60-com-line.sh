# The installed nuvaroctl.exe on COM7, which Wine maps to the pseudo-terminal
# of the Linux nuvaro-devsim:
# - it sets the line as the device needs whatever it was before: 38400 baud,
#   8 bits, no parity, binary, no parity replacement, no flow control
#   (GetCommState read back by tests/windows/comm_state.exe while it runs);
# - a port another nuvaroctl.exe holds: status 3, 设备忙：已被其他程序打开;
# - the adapter unplugged (nuvaro-devsim ended mid-run): status 1, and the
#   vanished device named as on Linux;
# - check and rate get their replies, which Qt reads only after the driver's
#   "character received" event, one Wine never signals on a pseudo-terminal.
source "$(dirname "$0")/lib.sh"
ctl="$install_dir/nuvaroctl.exe"
comm_state=$NUVARO_WIN_BUILD_DIR/bin/comm_state.exe

start_devsim 7 --rate 2500
# Another program's settings, left on the line.
stty -F "$devsim_pty" 9600 crtscts ixon ixoff 2>/dev/null || true
wine "$ctl" --port COM7 rate --count 0 --interval 0.3 >"$NUVARO_WINE_WORK/line-holder.out" 2>&1 &
holder=$!
sleep 4 # the holder has the port open and polls
state=$(wine_run 30 "$comm_state" COM7 | tr -d '\r') || fail "GetCommState could not read COM7"
echo "$state" | paste -sd' '
for want in baud=38400 bits=8 parity=0 stop=0 binary=1 parity_check=0 error_char=0 null_strip=0 \
  cts_flow=0 dsr_flow=0 xon_out=0 xon_in=0; do
  grep -qx "$want" <<<"$state" || fail "COM7 while nuvaroctl.exe has it: not $want"
done

set +e
out=$(wine_run 60 "$ctl" --port com7 check 2>&1 | tr -d '\r')
status=$?
set -e
echo "$out"
[[ $status == 3 ]] || fail "a held port gave status $status"
grep -q '打开失败：设备忙：已被其他程序打开' <<<"$out" || fail "a held port was not said busy"

stop_devsim # the adapter unplugged under the running holder
set +e
wait "$holder"
status=$?
set -e
tr -d '\r' <"$NUVARO_WINE_WORK/line-holder.out" | tail -3
[[ $status == 1 ]] || fail "the vanished device gave status $status"
grep -q '设备已断开或出错' "$NUVARO_WINE_WORK/line-holder.out" || fail "the vanished device was not named"
grep -q $'\t2500' "$NUVARO_WINE_WORK/line-holder.out" || fail "rate read no reply before the device went"

start_devsim 7 --rate 2500
out=$(wine_run 60 "$ctl" --port COM7 check | tr -d '\r') || fail "check over COM7: status $?: $out"
echo "$out"
grep -q '已确认' <<<"$out" || fail "check was not acknowledged"
out=$(wine_run 60 "$ctl" --port COM7 rate --count 10 --interval 0.2 | tr -d '\r') ||
  fail "rate over COM7: status $?: $out"
readings=$(grep -c $'\t2500$' <<<"$out" || true)
stop_devsim
# A poll whose reply has only partly arrived at the next tick is 无应答, as on
# a slow line; most must come.
[[ $readings -ge 7 ]] || fail "rate over COM7: $readings readings of 10"
echo "line: 38400 8N1 binary without flow control, held gives 3 and busy, unplugged gives 1," \
  "check acknowledged, rate $readings of 10"
