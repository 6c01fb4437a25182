#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages the build, the tests, the
# package (cpack -G DEB) and the program need, when any of them is missing.
#
#   scripts/install-deps.sh [PACKAGE ...]         also the named extra packages
#   scripts/install-deps.sh --list [PACKAGE ...]  prints the list, installs nothing
#   scripts/install-deps.sh --windows [...]       also the Windows build's and its
#                                                 checks under Wine (scripts/windows.sh,
#                                                 scripts/windows-test.sh)
#
# The list is complete on its own: apt-get installs without Recommends, and
# scripts/check-install-closure.sh fails CI when the build reads a file from a
# package outside what this list pulls in.
set -euo pipefail

packages=(
  # the build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-charts-dev qt6-tools-dev libqt6uitools6
  libqt6opengl6-dev libgl-dev
  # the manual in HTML: the Markdown documents and nuvaroctl's man page
  cmark-gfm mandoc
  # the tests and benchmarks; nuvaroctl's completion is tested with the
  # library it runs on at the users' prompt; network ports are tested against
  # a real serial device server
  libgtest-dev libgmock-dev libbenchmark-dev bash-completion ser2net
  # the Debian package: dpkg-shlibdeps finds its library dependencies,
  # dpkg-buildflags gives the hardening flags
  dpkg-dev
  # at run time: the platform plugins, Chinese glyphs, Qt's own texts in
  # Chinese, the SVG window icon
  qt6-qpa-plugins fonts-noto-cjk qt6-translations-l10n libqt6svg6
)
# The Windows cross-build, its installer, and its checks under Wine.
windows_packages=(
  # the cross-build: the compiler, GoogleTest's sources, Qt's recipe
  # (scripts/build-qt-mingw.sh) needs dpkg-dev and xz-utils too
  g++-mingw-w64-x86-64-posix googletest xz-utils
  # the icon (drawn from the SVG, packed as .ico) and the installer
  librsvg2-bin icoutils nsis
  # the checks: Wine, a display, input and screenshots, the zip's unpacking
  # (Wine draws Chinese with the host's fonts-noto-cjk, in the list above),
  # and the C library's locale sources, from which the installer's check
  # makes a Chinese and a German locale for Wine (localedef)
  wine wine64 xvfb xdotool imagemagick unzip locales
)
list_only=0
while [[ ${1:-} == --* ]]; do
  case $1 in
    --list) list_only=1 ;;
    --windows) packages+=("${windows_packages[@]}") ;;
    *) echo "install-deps: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
# Extra packages for the hardening and packaging runs, asked for by name.
for extra in "$@"; do packages+=("$extra"); done
if ((list_only)); then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  echo "install-deps: everything is installed"
  exit 0
fi

# sudo drops the environment, so the frontend setting goes through env.
as_root=(env DEBIAN_FRONTEND=noninteractive)
if [[ $(id -u) -ne 0 ]]; then as_root=(sudo "${as_root[@]}"); fi
echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
