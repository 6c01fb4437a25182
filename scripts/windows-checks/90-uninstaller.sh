# The uninstaller, run silently, removes every file the installer put there,
# its folder, the Start-menu entries and the uninstall entry.
source "$(dirname "$0")/lib.sh"
end_wine_processes # nothing of the installed programs still running
[[ -f $install_dir/uninstall.exe ]] || fail "no uninstaller in $install_dir"
# The uninstaller copies itself away and returns at once; the copy removes.
wine_run 120 "$install_dir/uninstall.exe" /S || fail "the uninstaller ended with status $?"
for _ in $(seq 120); do
  [[ -e $install_dir ]] || break
  sleep 0.5
done
wineserver -w
if [[ -e $install_dir ]]; then
  fail "left behind in $install_dir: $(cd "$install_dir" && find . | head -20)"
fi
[[ ! -e $menu_dir ]] || fail "left behind: $menu_dir: $(ls "$menu_dir")"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\nuvaro'
if wine reg query "$key" >/dev/null 2>&1; then fail "the uninstall entry $key is still there"; fi
echo "uninstaller: nothing left of the install"
