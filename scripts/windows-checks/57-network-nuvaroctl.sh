# The installed nuvaroctl.exe through the network: rfc2217://127.0.0.1:… and
# socket://127.0.0.1:… to ser2net on the Linux side, which serves the
# pseudo-terminal of the Linux nuvaro-devsim. Both downloads reach the device
# byte for byte as the Linux nuvaroctl's do through the same server (the
# sweep example's frames hold no 0xFF, so a sweep whose first command's
# checksum is 0xFF goes too: doubled on the wire, single at the device); a
# link check through raw TCP is acknowledged; a port nothing listens at gives
# status 3 and its reason.
source "$(dirname "$0")/lib.sh"
ctl="$install_dir/nuvaroctl.exe"
linux_ctl=$NUVARO_BUILD_DIR/bin/nuvaroctl
download_example fixed fixed
download_example sweep sweep
escaped=(download sweep --min 1600 --max 5500 --step 500 --repeat 2 --angle 30 --width 100 --signal-mode 1)

# The Linux or the Windows nuvaroctl, with a time limit.
run_ctl() { # linux|windows args...
  local which=$1
  shift
  if [[ $which == windows ]]; then wine_run 60 "$ctl" "$@"; else timeout 60 "$linux_ctl" "$@"; fi
}

# Each download through rfc2217:// by the Linux or the Windows nuvaroctl;
# the device's frames go to `frames`.
downloads() { # linux|windows frames
  start_devsim 8
  start_ser2net "$devsim_pty"
  local sequence
  for sequence in fixed sweep escaped; do
    declare -n args=$sequence
    out=$(run_ctl "$1" --port "rfc2217://127.0.0.1:$rfc2217_port" "${args[@]}" 2>&1 |
      tr -d '\r') || fail "$1 $sequence through rfc2217://: status $?: $out"
    grep -q '全部已确认' <<<"$out" || fail "$1 $sequence through rfc2217://: not fully acknowledged: $out"
  done
  stop_ser2net
  stop_devsim
  devsim_frames "$devsim_log" | uniq >"$2"
}

downloads linux "$NUVARO_WINE_WORK/network-linux.frames"
[[ $(wc -l <"$NUVARO_WINE_WORK/network-linux.frames") -ge 16 ]] || fail "the Linux reference run logged too little"
downloads windows "$NUVARO_WINE_WORK/network-windows.frames"
diff "$NUVARO_WINE_WORK/network-linux.frames" "$NUVARO_WINE_WORK/network-windows.frames" ||
  fail "the device took other bytes from nuvaroctl.exe through rfc2217:// than from the Linux nuvaroctl (> Windows)"

start_devsim 8
start_ser2net "$devsim_pty"
out=$(wine_run 60 "$ctl" --port "socket://127.0.0.1:$raw_port" check | tr -d '\r') ||
  fail "check through socket://: status $?: $out"
echo "$out"
grep -q 'Q1.*已确认' <<<"$out" || fail "the check through socket:// was not acknowledged"
stop_ser2net
stop_devsim

set +e
out=$(wine_run 60 "$ctl" --port "rfc2217://127.0.0.1:$(free_port)" check 2>&1 | tr -d '\r')
status=$?
set -e
echo "$out"
[[ $status == 3 ]] || fail "a port nothing listens at gave status $status"
grep -q '打开失败：连接被拒绝' <<<"$out" || fail "a port nothing listens at was not named refused"
echo "network: three downloads byte-exact through rfc2217://, a check through socket://, nothing listening gives 3"
