# The installer speaks the system's language where it has it, and English
# elsewhere: under Wine with a Chinese locale its first page is Chinese, with
# an English (C) or a German one English. Each run is ended on its first page;
# nothing is installed.
source "$(dirname "$0")/lib.sh"
# Wine takes the language from the C library's locale: the two it needs,
# made into a folder of the check's own (LOCPATH), nothing of the system's.
locales=$NUVARO_WINE_WORK/locales
mkdir -p "$locales"
for locale in zh_CN de_DE; do
  localedef -i "$locale" -f UTF-8 "$locales/$locale.UTF-8" ||
    fail "localedef could not make $locale.UTF-8 (package locales)"
done
# The installer window's title: "nuvaro <version> 安装" or "nuvaro <version> Setup".
title_under() { # locale
  end_wine_processes
  LOCPATH=$locales LC_ALL=$1 LANG=$1 wine "$installer" >"$NUVARO_WINE_WORK/installer-$1.log" 2>&1 &
  local window
  window=$(wait_window "nuvaro $version .*" 60) || { echo "(no window)"; return; }
  sleep 2 # the first page drawn
  screenshot "$NUVARO_WINE_WORK/installer-$1.png"
  xdotool getwindowname "$window"
  end_wine_processes
}
faults=()
for case in "zh_CN.UTF-8|安装" "C.UTF-8|Setup" "de_DE.UTF-8|Setup"; do
  locale=${case%|*}
  want=${case#*|}
  title=$(title_under "$locale")
  echo "installer under $locale: $title"
  [[ $title == "nuvaro $version $want" ]] || faults+=("under $locale the installer's title is '$title'")
done
((${#faults[@]} == 0)) || fail "$(printf '%s; ' "${faults[@]}") (see $NUVARO_WINE_WORK/installer-*.png)"
echo "installer language: Chinese under a Chinese locale, English elsewhere"
