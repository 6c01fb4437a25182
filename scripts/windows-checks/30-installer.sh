# The installer installs silently into Program Files (64-bit), with the same
# files as the zip and its uninstaller, Start-menu shortcuts to the installed
# nuvaro.exe and to the manual (使用说明), a desktop shortcut (ticked by
# default, so made by a silent install), and an entry in the list of
# installed programs with the version and the publisher. The installed
# nuvaroctl.exe names the installed manual in its --help.
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
manual_link="$menu_dir/使用说明.lnk"
[[ -f $manual_link ]] || fail "no Start-menu shortcut to the manual: $(ls "$menu_dir")"
# The link holds the target's path one folder at a time.
[[ $(strings -a -el "$manual_link" | grep -ciE '^(manual|index\.html)$') == 2 ]] ||
  fail "使用说明 does not open manual\index.html: $(strings -a -el "$manual_link" | paste -sd' ')"
desktop_link="$WINEPREFIX/drive_c/users/Public/Desktop/nuvaro.lnk"
[[ -f $desktop_link ]] || fail "no desktop shortcut $desktop_link"
grep -qiF "$install_dir_win\nuvaro.exe" <<<"$(strings -a -el "$desktop_link")" ||
  fail "the desktop shortcut does not name $install_dir_win\nuvaro.exe"
help=$(wine_run 60 "$install_dir/nuvaroctl.exe" --help | tr -d '\r')
grep -qxF "  $install_dir_win\manual\index.html" <<<"$help" ||
  fail "nuvaroctl.exe --help does not name the installed manual: $(tail -3 <<<"$help")"

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\nuvaro'
[[ $(reg_value "$key" DisplayVersion) == "$version" ]] || fail "DisplayVersion is '$(reg_value "$key" DisplayVersion)'"
publisher=$(reg_value "$key" Publisher)
[[ -n $publisher ]] || fail "no Publisher in $key"
[[ $(reg_value "$key" UninstallString) == *uninstall.exe* ]] || fail "no UninstallString in $key"
echo "installer: $(wc -l <"$NUVARO_WINE_WORK/installed-files.txt") files in $install_dir_win," \
  "Start-menu, manual and desktop shortcuts, uninstall entry (version $version, publisher $publisher)"
