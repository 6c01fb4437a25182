#!/usr/bin/env bash
# Checks that the project's documents stay readable: no sentence over 60
# words and no table cell over 100 words in README.md, CONTRIBUTING.md and
# docs/*.md. Names each one that is longer, with its file, line and first
# words, and fails; CI runs it (.ci/run).
#
#   scripts/check-readability.sh [FILE ...]   (default: the documents above)
#
# A word is a whitespace-separated token outside code blocks (fenced, or
# indented by four spaces after a blank line). A sentence ends at ".", "!"
# or "?" followed by white space, and at the end of its paragraph, list
# item, heading or table cell. Each table cell counts on its own.
set -euo pipefail
cd "$(dirname "$0")/.."
if (($# == 0)); then
  set -- README.md CONTRIBUTING.md docs/*.md
fi
awk -v max_sentence=60 -v max_cell=100 '
function words(text,   t, n, i, count) {
  n = split(text, t, /[ \t]+/)
  count = 0
  for (i = 1; i <= n; i++) if (t[i] != "") count++
  return count
}
function start(text,   t, n, i, out) {
  n = split(text, t, /[ \t]+/)
  out = ""
  for (i = 1; i <= n && i <= 12; i++) if (t[i] != "") out = out (out == "" ? "" : " ") t[i]
  return out " ..."
}
# Reports each sentence of `text` (from line `line`) over the limit.
function sentences(text, line, where,   i, n, c, s) {
  s = ""
  n = length(text)
  for (i = 1; i <= n; i++) {
    c = substr(text, i, 1)
    s = s c
    if ((c == "." || c == "!" || c == "?") && substr(text, i + 1, 1) ~ /[ \t]/) {
      sentence(s, line, where)
      s = ""
    }
  }
  sentence(s, line, where)
}
function sentence(s, line, where,   n) {
  n = words(s)
  if (n > longest) { longest = n; longest_at = FILENAME ":" line }
  if (n > max_sentence) {
    printf "%s:%d: a sentence of %d words%s (at most %d): %s\n", FILENAME, line, n, where,
           max_sentence, start(s)
    bad++
  }
}
function flush() {
  if (block != "") sentences(block, block_line, "")
  block = ""
}
FNR == 1 { flush(); fenced = 0; blank = 1; indented = 0 }
/^[ \t]*(```|~~~)/ { flush(); fenced = !fenced; blank = 0; next }
fenced { next }
/^[ \t]*$/ { flush(); blank = 1; indented = 0; next }
(blank || indented) && /^    / { flush(); indented = 1; blank = 0; next }
{ blank = 0; indented = 0 }
/^[ \t]*\|/ {
  flush()
  if ($0 ~ /^[ \t]*\|[ \t:|-]+$/) next # the row under the heading
  # Cells: split at "|" outside code spans and not escaped.
  row = $0; cell = ""; code = 0; ncells = 0
  for (i = 1; i <= length(row); i++) {
    c = substr(row, i, 1)
    if (c == "`") code = !code
    if (c == "|" && !code && substr(row, i - 1, 1) != "\\") { cells[++ncells] = cell; cell = ""; continue }
    cell = cell c
  }
  for (k = 2; k <= ncells; k++) {
    n = words(cells[k])
    if (n > largest) { largest = n; largest_at = FILENAME ":" FNR }
    if (n > max_cell) {
      printf "%s:%d: a table cell of %d words (at most %d): %s\n", FILENAME, FNR, n, max_cell,
             start(cells[k])
      bad++
    }
    sentences(cells[k], FNR, " in a table cell")
  }
  next
}
/^#/ { flush(); sentences($0, FNR, ""); next }
/^[ \t]*([-*+]|[0-9]+[.)])[ \t]/ { flush() }
{ if (block == "") block_line = FNR; block = block " " $0 }
END {
  flush()
  printf "readability: longest sentence %d words (%s), largest table cell %d words (%s)%s\n",
         longest, longest_at, largest, largest_at, bad ? ": " bad " too long" : ""
  exit bad ? 1 : 0
}' "$@"
