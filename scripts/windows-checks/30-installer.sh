# The installer installs silently into Program Files (64-bit), with the same
# files as the zip and its uninstaller, a Start-menu shortcut to the
# installed nuvaro.exe, and an entry in the list of installed programs with
# the version and the publisher.
source "$(dirname "$0")/lib.sh"
wine_run 180 "$installer" /S || fail "the installer ended with status $?"
wineserver -w # the registry written out
[[ -f $install_dir/nuvaro.exe ]] || fail "nothing in $install_dir"

# The same files as the zip, and the uninstaller.
unpacked=$NUVARO_WINE_WORK/zip-files
rm -rf "$unpacked" && mkdir -p "$unpacked" && unzip -q "$zip" -d "$unpacked"
diff <(cd "$unpacked"/nuvaro-* && find . -type f | sort; echo ./uninstall.exe) \
  <(cd "$install_dir" && find . -type f | sort) || fail "installed files differ from the zip's (> installed)"
find "$install_dir" -type f | sed "s|^$install_dir/||" | sort >"$NUVARO_WINE_WORK/installed-files.txt"

# The shortcut: the installed nuvaro.exe, with its icon.
shortcut="$menu_dir/nuvaro.lnk"
[[ -f $shortcut ]] || fail "no Start-menu shortcut $shortcut"
strings -a -el "$shortcut" | grep -qiF "$install_dir_win\\nuvaro.exe" ||
  strings -a "$shortcut" | grep -qiF "$install_dir_win\\nuvaro.exe" ||
  fail "the shortcut does not name $install_dir_win\\nuvaro.exe: $(strings -a -el "$shortcut" | head -5)"
ls "$menu_dir" | grep -q '卸载' || fail "no uninstall shortcut in $menu_dir"

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\nuvaro'
[[ $(reg_value "$key" DisplayVersion) == "$version" ]] || fail "DisplayVersion is '$(reg_value "$key" DisplayVersion)'"
publisher=$(reg_value "$key" Publisher)
[[ -n $publisher ]] || fail "no Publisher in $key"
[[ $(reg_value "$key" UninstallString) == *uninstall.exe* ]] || fail "no UninstallString in $key"
echo "installer: $(wc -l <"$NUVARO_WINE_WORK/installed-files.txt") files in $install_dir_win," \
  "shortcut and uninstall entry (version $version, publisher $publisher)"
