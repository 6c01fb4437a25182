# Each file says what it is in its version resource (Explorer's Details):
# nuvaro.exe and nuvaroctl.exe each their own description and file name, and
# the copyright; the installer its version, publisher, description and
# copyright, in English and in Chinese. Read with tests/windows/version_info.exe.
source "$(dirname "$0")/lib.sh"
version_info=$NUVARO_WIN_BUILD_DIR/bin/version_info.exe
unpacked=$NUVARO_WINE_WORK/versions
rm -rf "$unpacked" && mkdir -p "$unpacked" && unzip -q "$zip" -d "$unpacked"
root=$unpacked/nuvaro-$version-win64
# The team that maintains the package, as the build names it.
publisher=$(sed -n 's/^NUVARO_PACKAGE_MAINTAINER:STRING=//p' "$NUVARO_WIN_BUILD_DIR/CMakeCache.txt" |
  sed 's/ *<.*//')
[[ -n $publisher ]] || fail "no NUVARO_PACKAGE_MAINTAINER in the Windows build's cache"

# The value of `name` in the first language's block of what version_info printed.
value() { # info name
  awk -F= -v n="$2" '/^language=/ { if (seen++) exit } $1 == n { sub(/^[^=]*=/, ""); print; exit }' <<<"$1"
}
faults=()
declare -A descriptions=([nuvaro]=控制面板 [nuvaroctl]=命令行)
for program in nuvaro nuvaroctl; do
  info=$(wine_run 60 "$version_info" "$root/$program.exe" | tr -d '\r') ||
    { faults+=("$program.exe has no version resource"); continue; }
  echo "$program.exe: $(paste -sd';' <<<"$info")"
  [[ $(value "$info" OriginalFilename) == "$program.exe" ]] || faults+=("$program.exe's OriginalFilename")
  [[ $(value "$info" FileDescription) == *"${descriptions[$program]}"* ]] ||
    faults+=("$program.exe's FileDescription is not its own")
  [[ $(value "$info" LegalCopyright) == *"$publisher"* ]] || faults+=("$program.exe's LegalCopyright")
  [[ $(value "$info" ProductVersion) == "$version" ]] || faults+=("$program.exe's ProductVersion")
done
[[ $(value "$(wine_run 60 "$version_info" "$root/nuvaro.exe")" FileDescription) != \
  $(value "$(wine_run 60 "$version_info" "$root/nuvaroctl.exe")" FileDescription) ]] ||
  faults+=("both programs have one FileDescription")

# The installer's, as Windows shows it in English; NSIS writes one resource
# a language, and the Chinese one is read from the file itself.
info=$(wine_run 60 "$version_info" "$installer" | tr -d '\r') || fail "the installer has no version resource"
echo "installer: $(paste -sd';' <<<"$info")"
grep -qx 'language=0409' <<<"$info" || faults+=("the installer's version resource is not English first")
# (Read whole first: grep -q ending the pipe early would fail it under pipefail.)
resources=$(x86_64-w64-mingw32-windres -i "$installer" -O rc 2>/dev/null) || fail "windres cannot read the installer"
grep -q 'BLOCK "0804' <<<"$resources" || faults+=("the installer has no Chinese version resource")
[[ $(value "$info" ProductVersion) == "$version" ]] || faults+=("the installer's ProductVersion")
[[ $(value "$info" CompanyName) == "$publisher" ]] || faults+=("the installer's publisher")
[[ -n $(value "$info" FileDescription) ]] || faults+=("the installer's FileDescription")
[[ $(value "$info" LegalCopyright) == *"$publisher"* ]] || faults+=("the installer's LegalCopyright")
((${#faults[@]} == 0)) || fail "$(printf '%s; ' "${faults[@]}")"
echo "versions: both programs and the installer say what they are"
