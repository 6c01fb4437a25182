# The installed panel, started from its Start-menu shortcut, shows its window
# on the virtual display with its number boxes showing their values: each
# box's text area (places in the window measured on a screenshot of this
# layout, at Wine's default 96 dpi) holds dark text pixels. The work-mode
# choice, which shows its text, checks the measuring itself.
source "$(dirname "$0")/lib.sh"
shot=$NUVARO_WINE_WORK/panel.png
wine start "$menu_dir_win\\nuvaro.lnk" >"$NUVARO_WINE_WORK/panel-start.log" 2>&1 ||
  fail "wine start of the shortcut failed"
window=$(wait_window "$panel_title" 60) || fail "no window '$panel_title'"
sleep 3 # the first paint
import -window "$window" "$shot"
screenshot "$NUVARO_WINE_WORK/panel-screen.png"

# Dark pixels in a rectangle (WxH+X+Y) of the window's picture.
dark_pixels() {
  convert "$shot" -crop "$1" +repage -colorspace gray -threshold 50% \
    -format '%[fx:round((1-mean)*w*h)]' info:
}
# Measured with the font the panel takes when Wine lacks the system's
# (runtime/panel/ui_font.cpp: Noto Sans CJK SC here).
declare -A boxes=(
  [work-mode]=120x10+82+137 # the check of the measuring: a choice with text
  [rate]=110x10+128+201
  [angle]=110x10+380+43
  [width]=110x10+380+71
)
faults=()
for box in work-mode rate angle width; do
  n=$(dark_pixels "${boxes[$box]}")
  echo "panel: $box box: $n dark pixels"
  ((n >= 10)) || faults+=("$box")
done
end_wine_processes
((${#faults[@]} == 0)) || fail "blank on the screen: ${faults[*]} (see $shot)"
echo "panel: started from the shortcut, its number boxes show their values"
