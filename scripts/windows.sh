#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64 into build-windows/ and
# packs them with CPack: the installer build-windows/nuvaro-<version>-win64.exe
# and the portable build-windows/nuvaro-<version>-win64.zip.
#
#   scripts/windows.sh [-DOPTION=VALUE ...] [TARGET ...]
#
# Arguments starting with "-" go to the cmake configure step; the others name
# the targets to build (then nothing is packed).
#
#   NUVARO_QT_MINGW   Qt for x86_64-w64-mingw32: a prefix, or a .tar.xz of one
#                     (unpacked once into the cache). Without it, Qt is built
#                     once with scripts/build-qt-mingw.sh into the cache.
#   NUVARO_CACHE      the cache, outside the tree (~/.cache/nuvaro)
#   NUVARO_BUILD_DIR  build folder (build-windows)
#   NUVARO_JOBS       parallel build jobs (nproc)
#   NUVARO_WERROR     ON or OFF: warnings in the project's own code are errors
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${NUVARO_BUILD_DIR:-build-windows}
jobs=${NUVARO_JOBS:-$(nproc)}
cache=${NUVARO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/nuvaro}
options=()
targets=()
if [[ -n ${NUVARO_WERROR:-} ]]; then options+=("-DNUVARO_WERROR=$NUVARO_WERROR"); fi
for arg in "$@"; do
  if [[ $arg == -* ]]; then options+=("$arg"); else targets+=("$arg"); fi
done

# Prints the Qt prefix to build against.
qt_prefix() {
  local qt=${NUVARO_QT_MINGW:-}
  if [[ -z $qt ]]; then
    local built=$cache/qt-mingw-built/qt6-mingw
    if [[ ! -e $built/.nuvaro-qt-complete ]]; then
      echo "windows: building Qt for Windows once with scripts/build-qt-mingw.sh into $built" >&2
      echo "windows: this takes about 1.5-2 h on a quiet 2-core machine; later builds reuse it" >&2
      echo "windows: (set NUVARO_QT_MINGW to a prebuilt Qt to skip it)" >&2
      scripts/build-qt-mingw.sh "$built" all >&2
    fi
    echo "$built"
  elif [[ -d $qt ]]; then
    realpath "$qt"
  elif [[ -f $qt && $qt == *.tar.xz ]]; then
    # Unpacked once per tarball, named by its checksum.
    local sum
    sum=$(sha256sum "$qt" | cut -c1-16)
    local dir=$cache/qt-mingw-$sum
    if [[ ! -e $dir/.unpacked ]]; then
      echo "windows: unpacking $qt into $dir" >&2
      rm -rf "$dir"
      mkdir -p "$dir"
      tar -xJf "$qt" -C "$dir"
      touch "$dir/.unpacked"
    fi
    # The tarball holds one folder, the prefix.
    local top
    top=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -1)
    [[ -n $top ]] || { echo "windows: no folder in $qt" >&2; exit 1; }
    echo "$top"
  else
    echo "windows: NUVARO_QT_MINGW=$qt is neither a folder nor a .tar.xz" >&2
    exit 1
  fi
}

prefix=$(qt_prefix)
[[ -e $prefix/lib/cmake/Qt6/Qt6Config.cmake ]] || {
  echo "windows: $prefix is not a Qt prefix (no lib/cmake/Qt6)" >&2
  exit 1
}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${NUVARO_BUILD_TYPE:-RelWithDebInfo}" \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DNUVARO_QT_MINGW_PREFIX="$prefix" "${options[@]}" >/dev/null
if ((${#targets[@]} > 0)); then
  cmake --build "$build_dir" -j"$jobs" --target "${targets[@]}"
  exit 0
fi
cmake --build "$build_dir" -j"$jobs"
(cd "$build_dir" && cpack -G "NSIS;ZIP" >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
for artefact in "$build_dir/nuvaro-$version-win64.exe" "$build_dir/nuvaro-$version-win64.zip"; do
  [[ -f $artefact ]] || { echo "windows: $artefact was not made" >&2; exit 1; }
  echo "$artefact"
done
