# The portable zip holds exactly the programs, the panel file, what they
# import and load, Qt's Chinese texts and the licences; each program starts
# from the unpacked zip in the still clean prefix (nothing installed yet, no
# Qt on WINEPATH).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/imports.sh"
unset WINEPATH
unpacked=$NUVARO_WINE_WORK/zip
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
root=$unpacked/nuvaro-$version-win64
[[ -d $root ]] || fail "the zip has no folder nuvaro-$version-win64"

# Besides the DLLs: exactly these files, the manual among them.
(cd "$root" && find . -type f ! -name '*.dll' | sed 's|^\./||' | sort) >"$unpacked/files.txt"
expected=$'licences/GCC-runtime-copyright.txt\nlicences/Qt-LGPL-3.txt\nlicences/Qt-copyright.txt\nlicences/mingw-w64-copyright.txt\nlicences/nuvaro-GPL-3.txt\nmanual/index.html\nmanual/link-view.png\nmanual/nuvaroctl.html\nmanual/protocol.html\nnuvaro.exe\nnuvaro.uir\nnuvaroctl.exe\ntranslations/qtbase_zh_CN.qm'
diff <(echo "$expected") "$unpacked/files.txt" || fail "the zip's files other than DLLs differ (< expected, > found)"
# The manual: every link leads to its place.
cmake -DMANUAL="$root/manual" -P "$NUVARO_SOURCE_DIR/packaging/manual/check_links.cmake" ||
  fail "the zip's manual has broken links"
# Plugins: the windows platform and the styles, nothing else.
(cd "$root" && find . -mindepth 2 -name '*.dll' | sed 's|^\./||' | sort) >"$unpacked/plugins.txt"
grep -qx 'platforms/qwindows.dll' "$unpacked/plugins.txt" || fail "no windows platform plugin"
grep -vqE '^(platforms/qwindows|styles/[^/]+)\.dll$' "$unpacked/plugins.txt" &&
  fail "unexpected plugins: $(grep -vE '^(platforms/qwindows|styles/[^/]+)\.dll$' "$unpacked/plugins.txt")"
# Top-level DLLs: exactly those the programs and plugins import.
mapfile -t plugins < <(sed "s|^|$root/|" "$unpacked/plugins.txt")
shipped_closure "$root" "$root/nuvaro.exe" "$root/nuvaroctl.exe" "${plugins[@]}" | sort >"$unpacked/needed.txt"
(cd "$root" && ls *.dll | tr 'A-Z' 'a-z' | sort) >"$unpacked/dlls.txt"
diff "$unpacked/needed.txt" "$unpacked/dlls.txt" || fail "the zip's DLLs differ from the imports (< imported, > shipped)"
echo "zip: $(wc -l <"$unpacked/dlls.txt") DLLs, $(wc -l <"$unpacked/plugins.txt") plugins, as imported"

# Each program starts from there.
out=$(wine_run 60 "$root/nuvaroctl.exe" --version | tr -d '\r')
[[ $out == "nuvaroctl (nuvaro) $version" ]] || fail "nuvaroctl.exe --version said: $out"
download_example fixed fixed
out=$(wine_run 60 "$root/nuvaroctl.exe" --port demo "${fixed[@]}" | tr -d '\r') ||
  fail "nuvaroctl.exe download to the demo device failed: $out"
grep -q '全部已确认' <<<"$out" || fail "nuvaroctl.exe download to the demo device: $out"
wine "$root/nuvaro.exe" >"$NUVARO_WINE_WORK/zip-panel.log" 2>&1 &
wait_window "$panel_title" 60 >/dev/null || fail "the panel from the zip showed no window"
screenshot "$NUVARO_WINE_WORK/zip-panel.png"
echo "zip: nuvaroctl.exe and nuvaro.exe start from the unpacked zip"
end_wine_processes
