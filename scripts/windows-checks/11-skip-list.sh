# The tests the Windows build does not run are exactly those of
# tests/windows_skips.txt: every test of the Linux build that the Windows
# build lacks or disables is named there, and every name there names one.
source "$(dirname "$0")/lib.sh"
list=$NUVARO_SOURCE_DIR/tests/windows_skips.txt
[[ -x $NUVARO_BUILD_DIR/bin/nuvaro_tests ]] ||
  fail "the Linux test program $NUVARO_BUILD_DIR/bin/nuvaro_tests is missing: build it first (scripts/build.sh)"
"$NUVARO_BUILD_DIR/bin/nuvaro_tests" --gtest_list_tests 2>/dev/null |
  awk '/^[^ ]/{s=$1} /^  /{print s $1}' | sort >"$NUVARO_WINE_WORK/tests-linux.txt"
# ctest lists the disabled tests too; those are skipped.
(cd "$NUVARO_WIN_BUILD_DIR" && ctest --show-only=json-v1) >"$NUVARO_WINE_WORK/tests-windows.json"
cmake -DJSON="$NUVARO_WINE_WORK/tests-windows.json" -DOUT="$NUVARO_WINE_WORK/tests-windows.unsorted" \
  -P "$(dirname "$0")/enabled-tests.cmake"
sort "$NUVARO_WINE_WORK/tests-windows.unsorted" >"$NUVARO_WINE_WORK/tests-windows.txt"
patterns=$(grep -E '^[A-Za-z]' "$list" | awk '{print $1}')
regex=$(sed 's/\./\\./g; s/\*/.*/g; s/^/^/; s/$/$/' <<<"$patterns" | paste -sd'|')
missing=$(comm -23 "$NUVARO_WINE_WORK/tests-linux.txt" "$NUVARO_WINE_WORK/tests-windows.txt")
unlisted=$(grep -vE "$regex" <<<"$missing" || true)
[[ -z $unlisted ]] || fail "not run on Windows, and not in tests/windows_skips.txt: $unlisted"
for pattern in $patterns; do
  one=$(sed 's/\./\\./g; s/\*/.*/g; s/^/^/; s/$/$/' <<<"$pattern")
  grep -qE "$one" "$NUVARO_WINE_WORK/tests-linux.txt" || fail "tests/windows_skips.txt names no test: $pattern"
  if grep -qE "$one" "$NUVARO_WINE_WORK/tests-windows.txt"; then
    fail "tests/windows_skips.txt names $pattern, which the Windows build runs"
  fi
done
echo "skip list: $(wc -l <"$NUVARO_WINE_WORK/tests-windows.txt") of $(wc -l <"$NUVARO_WINE_WORK/tests-linux.txt") tests run on Windows;" \
  "$(wc -w <<<"$missing") skipped, all in tests/windows_skips.txt"
