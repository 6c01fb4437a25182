#!/usr/bin/env bash
# Install-list check: fails when a build read a file that belongs to a Debian
# package outside the dependency closure of the packages
# scripts/install-deps.sh declares. A machine that happens to have such a
# package installed builds fine, a stranger's fresh machine does not; this
# check makes CI independent of what is installed on it.
#
#   scripts/check-install-closure.sh [--windows] [--without PACKAGE]... [BUILD_DIR]
#
# --windows checks a Windows cross-build (scripts/windows.sh) against the
# list with its Windows part (install-deps.sh --windows); the Qt it builds
# against comes from outside the package system and is named as such.
#
# What the build read: the CMake package configuration files it found (the
# *_DIR entries of CMakeCache.txt), every header outside the source and build
# folders the compiler recorded (ninja's dependency log), the libraries the
# link lines name and the compiler. Each is mapped to the package that owns it
# (dpkg's file lists, read once). The closure is what
#   apt-cache depends --recurse --no-recommends --no-suggests ...
# reaches from the declared packages (apt-get installs without Recommends, so
# they must not count), plus the Essential packages every system has.
#
# --without PACKAGE leaves a declared package out, to show that the check
# notices (e.g. --without libqt6opengl6-dev must fail).
set -euo pipefail
cd "$(dirname "$0")/.."

without=()
list_options=(--list)
while [[ ${1:-} == --* ]]; do
  case $1 in
    --without) without+=("$2"); shift 2 ;;
    --windows) list_options+=(--windows); shift ;;
    *) echo "check-install-closure: unknown option $1" >&2; exit 2 ;;
  esac
done
build_dir=${1:-${NUVARO_BUILD_DIR:-build}}
started=$SECONDS
[[ -f $build_dir/CMakeCache.txt && -f $build_dir/build.ninja ]] || {
  echo "check-install-closure: $build_dir is not a configured Ninja build folder" >&2
  exit 2
}
source_dir=$(pwd -P)
build_abs=$(cd "$build_dir" && pwd -P)

work=$(mktemp -d "${TMPDIR:-/tmp}/nuvaro-closure.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The declared packages, less the ones left out on purpose.
mapfile -t declared < <(scripts/install-deps.sh "${list_options[@]}")
if ((${#without[@]} > 0)); then
  mapfile -t declared < <(printf '%s\n' "${declared[@]}" | grep -vxF -f <(printf '%s\n' "${without[@]}"))
  echo "check-install-closure: leaving out ${without[*]}"
fi

# The closure: top-level lines name every package reached (a virtual one in
# <...>), deeper-indented lines under a virtual dependency name its providers.
apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances "${declared[@]}" |
  sed -n -e 's/^<\?\([^ <>]*\)>\?$/\1/p' -e 's/^    \([^ <>]*\)$/\1/p' |
  sed 's/:any$//' >"$work/closure"
dpkg-query -W -f='${Package} ${Essential}\n' | awk '$2 == "yes" {print $1}' >>"$work/closure"
sort -u -o "$work/closure" "$work/closure"

# What the build read.
{
  # Package configurations: <Name>_DIR holds <Name>Config.cmake or
  # <name>-config.cmake.
  sed -n 's/^\([A-Za-z0-9_.+-]*\)_DIR:PATH=\(\/.*\)$/\1 \2/p' "$build_dir/CMakeCache.txt" |
    while read -r name dir; do
      lower=$(tr '[:upper:]' '[:lower:]' <<<"$name")
      for config in "$dir/${name}Config.cmake" "$dir/${lower}-config.cmake"; do
        if [[ -f $config ]]; then echo "$config"; fi
      done
    done
  # Headers, from the compiler's dependency records.
  ninja -C "$build_dir" -t deps 2>/dev/null | sed -n 's/^    \(\/.*\)$/\1/p'
  # Libraries named on link lines, and the compiler.
  grep -h '^ *LINK_LIBRARIES = ' "$build_dir/build.ninja" "$build_dir"/CMakeFiles/*.ninja 2>/dev/null |
    tr ' ' '\n' | grep '^/' || true
  sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=\(\/.*\)$/\1/p' "$build_dir/CMakeCache.txt"
} | grep -v -e "^$source_dir/" -e "^$build_abs/" | sort -u >"$work/read"
count=$(wc -l <"$work/read")
((count > 0)) || {
  echo "check-install-closure: found nothing the build read in $build_dir (not built yet?)" >&2
  exit 2
}

# Each file under three names: as read, with its folders' symbolic links
# resolved, and fully resolved (a -dev package's library link leads to the
# run-time package's file; /usr/bin/c++ leads through the alternatives).
paste "$work/read" \
  <(sed 's|/[^/]*$||' "$work/read" | xargs -d '\n' realpath -m) \
  <(sed 's|.*/||' "$work/read") \
  <(xargs -d '\n' realpath -m <"$work/read") |
  awk -F'\t' -v OFS='\t' '{print $1, $1, $2 "/" $3, $4}' >"$work/names"

# Owners from dpkg's file lists, read once. The lists may name a file under
# /lib, /bin or /sbin that this (merged-/usr) system reaches under /usr.
awk -F'\t' -v closure="$work/closure" '
  function norm(p) { return (p ~ /^\/(lib|lib32|lib64|libx32|bin|sbin)\//) ? "/usr" p : p }
  BEGIN { while ((getline line < closure) > 0) inclosure[line] = 1 }
  FILENAME == ARGV[1] {
    order[++n] = $1
    for (i = 2; i <= 4; i++) { alias[$1, i] = norm($i); wanted[norm($i)] = 1 }
    next
  }
  FNR == 1 {
    pkg = FILENAME
    sub(/^.*\//, "", pkg); sub(/\.list$/, "", pkg); sub(/:.*$/, "", pkg)
  }
  {
    p = norm($0)
    if (p in wanted) owners[p] = owners[p] " " pkg
  }
  END {
    for (k = 1; k <= n; k++) {
      f = order[k]; found = ""
      for (i = 2; i <= 4 && found == ""; i++) found = owners[alias[f, i]]
      if (found == "") { print "unowned", f; continue }
      ok = 0; m = split(found, list, " ")
      for (j = 1; j <= m; j++) if (list[j] in inclosure) ok = 1
      if (!ok) print "outside", f, substr(found, 2)
    }
  }' "$work/names" /var/lib/dpkg/info/*.list >"$work/verdict"

took=$((SECONDS - started))
outside=$(awk '$1 == "outside"' "$work/verdict" | wc -l)
unowned=$(awk '$1 == "unowned"' "$work/verdict" | wc -l)
if ((unowned > 0)); then
  echo "check-install-closure: note: $unowned file(s) the build read belong to no package:"
  # the first 20 only, from awk itself: a pipe into head could end awk with SIGPIPE
  awk '$1 == "unowned" && ++shown <= 20 {print "  " $2}' "$work/verdict"
fi
if ((outside > 0)); then
  echo "check-install-closure: FAIL: the build read $outside file(s) from packages that" \
    "scripts/install-deps.sh does not pull in (Recommends do not count):" >&2
  # One line per package, with the first file and how many more.
  awk '$1 == "outside" {
      for (i = 3; i <= NF; i++) { if (!($i in first)) { first[$i] = $2; pkgs[++n] = $i } more[$i]++ }
    }
    END { for (k = 1; k <= n; k++) { p = pkgs[k]
      printf "  %s: %s%s\n", p, first[p], (more[p] > 1 ? " (and " more[p] - 1 " more)" : "") } }' \
    "$work/verdict" >&2
  echo "check-install-closure: add the package(s) to scripts/install-deps.sh (${took} s)" >&2
  exit 1
fi
echo "check-install-closure: PASS: $count files the build read, all from the closure of" \
  "${#declared[@]} declared packages ($(wc -l <"$work/closure") packages) (${took} s)"
