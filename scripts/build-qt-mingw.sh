#!/usr/bin/env bash
# Cross-builds the Qt that the Windows build uses: Qt 6.4.2 for
# x86_64-w64-mingw32 (shared, release), with Debian's own Linux Qt of the same
# version as the host tools (moc, rcc, uic are never built here).
#
#   scripts/build-qt-mingw.sh PREFIX [qtbase|qtserialport|qtcharts|qttools|all]
#
# Modules: qtbase (Core, Gui, Widgets, Network, Test, the windows, offscreen
# and minimal platform plugins, the windowsvista style), qtserialport,
# qtcharts, and of qttools only UiTools (QUiLoader). About 1.5-2 h of a quiet
# 2-core machine.
#
# Sources:
#   qtbase   Debian's source package qt6-base, of the version of the installed
#            qt6-base-dev (apt-get source, through a deb-src entry of the
#            machine's own Debian mirror kept in the work folder: the system's
#            apt configuration is not touched)
#   qtserialport, qtcharts, qttools: upstream tarballs <module>-6.4.2.tar.xz
#            from NUVARO_QT_SOURCES (a folder; ../shared/qt-mingw/src beside
#            the clone when it exists), else from Qt's download site.
#
#   NUVARO_QT_WORK   sources and build folders (PREFIX.work)
#   NUVARO_JOBS      parallel jobs (nproc)
#
# Needs: g++-mingw-w64-x86-64-posix cmake ninja-build dpkg-dev qt6-base-dev
# qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools xz-utils
# (scripts/install-deps.sh --windows installs them).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
[[ $# -ge 1 ]] || { sed -n '2,12p' "$0" >&2; exit 2; }
prefix=$(realpath -m "$1")
steps=${2:-all}
work=${NUVARO_QT_WORK:-$prefix.work}
jobs=${NUVARO_JOBS:-$(nproc)}
qt_version=6.4.2
addon_sources=${NUVARO_QT_SOURCES:-}
if [[ -z $addon_sources && -d $here/../shared/qt-mingw/src ]]; then
  addon_sources=$here/../shared/qt-mingw/src
fi
src=$work/src
build=$work/build
log=$work/times.log
mkdir -p "$src" "$build" "$prefix"

timed() { # name command...
  local name=$1 t0 t1
  shift
  t0=$(date +%s)
  "$@"
  t1=$(date +%s)
  echo "$name $((t1 - t0)) s" | tee -a "$log"
}

# qtbase from Debian's source package, fetched with a private apt state so
# that a deb-src entry is there without editing /etc/apt.
fetch_qtbase() {
  local dir
  dir=$(find "$src" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -1)
  if [[ -n $dir ]]; then
    echo "$dir"
    return
  fi
  local apt=$work/apt
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  local mirror
  mirror=$(grep -rhoE '^(URIs: *|deb +)(\[[^]]*\] *)?https?://[^ ]*debian/?( |$)' /etc/apt/sources.list \
    /etc/apt/sources.list.d 2>/dev/null | grep -oE 'https?://[^ ]*' | head -1)
  mirror=${mirror:-http://deb.debian.org/debian}
  echo "deb-src $mirror bookworm main" >"$apt/sources.list"
  local opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=-"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=root")
  apt-get "${opts[@]}" update -qq >&2
  local version
  version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
  (cd "$src" && { apt-get "${opts[@]}" source -qq "qt6-base=$version" >&2 ||
    apt-get "${opts[@]}" source -qq qt6-base >&2; })
  find "$src" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -1
}

fetch_addon() { # module
  local module=$1 tarball=$1-$qt_version.tar.xz
  [[ -d $src/$module-$qt_version ]] && return
  if [[ -n $addon_sources ]]; then
    tar -xJf "$addon_sources/$tarball" -C "$src"
  else
    local url=https://download.qt.io/archive/qt/${qt_version%.*}/$qt_version/submodules/$module-everywhere-src-$qt_version.tar.xz
    # Fetched whole first: a failed download is named, not read by tar.
    curl -fsSL "$url" -o "$src/$tarball.part" || {
      echo "build-qt-mingw: cannot fetch $url; give NUVARO_QT_SOURCES, a folder of $tarball and its kin" >&2
      exit 1
    }
    tar -xJf "$src/$tarball.part" -C "$src"
    rm -f "$src/$tarball.part"
    mv "$src/$module-everywhere-src-$qt_version" "$src/$module-$qt_version"
  fi
}

common=(
  -G Ninja
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake"
  -DNUVARO_QT_MINGW_PREFIX="$prefix"
  -DNUVARO_WINE=OFF
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$prefix"
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
)

build_qtbase() {
  local qtbase b=$build/qtbase
  qtbase=$(fetch_qtbase)
  # Two compile errors of Qt 6.4.2's windows platform plugin with this
  # feature set, fixed by one-line edits (applied once, .orig kept):
  # - with opengl off, opengl_dynamic stays on (it is computed, not set) and
  #   qwindowswindow.cpp uses QOpenGLStaticContext under QT_CONFIG(dynamicgl);
  # - with direct2d off, directwrite3 stays on and qwindowsintegration.cpp
  #   names QWindowsDirectWriteFontDatabase, built only with direct2d.
  local w=$qtbase/src/plugins/platforms/windows
  [[ -e $w/qwindowswindow.cpp.orig ]] || {
    cp "$w/qwindowswindow.cpp" "$w/qwindowswindow.cpp.orig"
    sed -i '/^static inline bool isSoftwareGl()/,/^#if/ s/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' "$w/qwindowswindow.cpp"
  }
  [[ -e $w/qwindowsintegration.cpp.orig ]] || {
    cp "$w/qwindowsintegration.cpp" "$w/qwindowsintegration.cpp.orig"
    sed -i '/^QPlatformFontDatabase \*QWindowsIntegration::fontDatabase() const/,/^#if/ s/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' "$w/qwindowsintegration.cpp"
  }
  # Network is on, for network ports (QTcpSocket), without OpenSSL, SCTP,
  # libproxy, GSSAPI and Brotli: it needs no DLL beyond Windows' own.
  # Off: modules the project does not use, tablet events (Debian's +dfsg
  # repack removed the tablet header the plugin includes), image formats it
  # does not need, every system library (zlib, pcre2, libpng, harfbuzz and
  # freetype are compiled in: no further DLLs). freetype stays on for the
  # offscreen platform plugin the tests run with.
  timed qtbase-configure cmake -S "$qtbase" -B "$b" "${common[@]}" \
    -DBUILD_SHARED_LIBS=ON -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DFEATURE_pkg_config=OFF \
    -DFEATURE_network=ON -DFEATURE_openssl=OFF -DFEATURE_sctp=OFF -DFEATURE_libproxy=OFF \
    -DFEATURE_gssapi=OFF -DFEATURE_brotli=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_gui=ON \
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=ON -DFEATURE_icu=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_freetype=ON
  timed qtbase-build cmake --build "$b" --parallel "$jobs"
  timed qtbase-install cmake --install "$b" --strip
  # The mingw run-time DLLs beside Qt's, so that Qt's tools and the
  # programs run under Wine with the prefix's bin/ on WINEPATH.
  local gcc_dir
  gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
  cp "$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" \
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$prefix/bin/"
}

build_module() { # module source extra-cmake-arguments...
  local module=$1 source=$2 b=$build/$1
  shift 2
  timed "$module-configure" cmake -S "$source" -B "$b" "${common[@]}" \
    -DQt6_DIR="$prefix/lib/cmake/Qt6" "$@"
  timed "$module-build" cmake --build "$b" --parallel "$jobs"
  timed "$module-install" cmake --install "$b" --strip
}

build_qtserialport() {
  fetch_addon qtserialport
  build_module qtserialport "$src/qtserialport-$qt_version"
}
build_qtcharts() {
  fetch_addon qtcharts
  build_module qtcharts "$src/qtcharts-$qt_version" -DFEATURE_charts_qml=OFF
}
build_qttools() {
  fetch_addon qttools
  # qttools' top CMakeLists.txt requires Qt::Network, for the help tools that
  # are left out here; UiTools does not use it. The requirement is dropped,
  # as it was before this Qt had Network, so that qttools builds the same.
  local s=$build/qttools-src
  rm -rf "$s"
  cp -a "$src/qttools-$qt_version" "$s"
  sed -i 's/REQUIRED COMPONENTS BuildInternals Core Network)/REQUIRED COMPONENTS BuildInternals Core)/' "$s/CMakeLists.txt"
  build_module qttools "$s" \
    -DFEATURE_assistant=OFF -DFEATURE_designer=OFF -DFEATURE_linguist=OFF \
    -DFEATURE_pixeltool=OFF -DFEATURE_distancefieldgenerator=OFF \
    -DFEATURE_qtattributionsscanner=OFF -DFEATURE_qtplugininfo=OFF \
    -DFEATURE_qtdiag=OFF -DFEATURE_qdbus=OFF -DFEATURE_qev=OFF \
    -DFEATURE_kmap2qmap=OFF -DFEATURE_clang=OFF -DFEATURE_clangcpp=OFF -DFEATURE_qdoc=OFF
}

case $steps in
  qtbase | qtserialport | qtcharts | qttools) "build_$steps" ;;
  all)
    t0=$(date +%s)
    build_qtbase
    build_qtserialport
    build_qtcharts
    build_qttools
    echo "all $(($(date +%s) - t0)) s" | tee -a "$log"
    touch "$prefix/.nuvaro-qt-complete"
    ;;
  *)
    echo "build-qt-mingw: unknown step $steps" >&2
    exit 2
    ;;
esac
