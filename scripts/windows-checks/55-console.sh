# nuvaroctl.exe's Chinese in a console window: run on a console of its own
# (tests/windows/console_read.exe), what the console's screen buffer shows
# is read back, and holds the words as they are. Its standard output (the
# port list) and its standard error (a port that does not open) both.
source "$(dirname "$0")/lib.sh"
console_read=$NUVARO_WIN_BUILD_DIR/bin/console_read.exe
ctl_win="$install_dir_win\\nuvaroctl.exe"
screen=$NUVARO_WINE_WORK/console.txt
wine_run 90 "$console_read" "$(winepath -w "$screen")" "$ctl_win" ports ||
  fail "console_read could not run nuvaroctl.exe ports (status $?)"
cat "$screen"
grep -qF 'demo' "$screen" || fail "the console shows no port list"
grep -qF '演示设备（内置模拟）' "$screen" || fail "the console does not show 演示设备（内置模拟）"

set +e
wine_run 90 "$console_read" "$(winepath -w "$screen")" "$ctl_win" --port COM99 check
status=$?
set -e
cat "$screen"
[[ $status == 3 ]] || fail "a port that does not exist gave status $status"
grep -qF '打开失败：设备不存在' "$screen" || fail "the console does not show 打开失败：设备不存在"
grep -qF 'Windows 错误 2' "$screen" || fail "the console does not give Windows' own error number"
! grep -qi 'errno' "$screen" || fail "the console speaks of errno"
echo "console: the port list and the error line read back in Chinese from the console's screen"
