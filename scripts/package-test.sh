#!/usr/bin/env bash
# Package test: builds the Debian package (Release, tests and benchmarks off)
# in ./build-deb, checks it with lintian (no errors, no warnings), installs it
# on this machine with apt-get, checks the installed files (the AppStream
# metainfo with appstreamcli, the desktop entry with desktop-file-validate,
# nuvaroctl's bash completion with bash -n), starts the panel under a virtual
# X server and the device simulator on a pseudo-terminal, checks the link to
# it by hand and with nuvaroctl, and prints PASS or FAIL.
#
# Installs into /usr: meant for a container or a machine you can spare (CI
# does not run it). Runs as root, or through sudo otherwise. The package is
# removed again at the end unless it was installed before the test or
# NUVARO_KEEP_PACKAGE=1.
#
#   NUVARO_DEB_BUILD_DIR  build folder (build-deb)
#   NUVARO_JOBS           parallel build jobs (nproc)
#   NUVARO_RUN_SECONDS    how long the panel must stay up (3)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${NUVARO_DEB_BUILD_DIR:-build-deb}
jobs=${NUVARO_JOBS:-$(nproc)}
run_seconds=${NUVARO_RUN_SECONDS:-3}
started=$SECONDS

sudo=()
if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi

work=$(mktemp -d "${TMPDIR:-/tmp}/nuvaro-package-test.XXXXXX")
devsim_pid=
remove_package=0
failure=

step() { echo "== package-test: $*"; }
fail() {
  failure=$*
  exit 1
}

finish() {
  local status=$?
  if [[ -n $devsim_pid ]]; then
    kill "$devsim_pid" 2>/dev/null || true
    wait "$devsim_pid" 2>/dev/null || true
  fi
  if ((remove_package)) && [[ ${NUVARO_KEEP_PACKAGE:-0} != 1 ]]; then
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq nuvaro >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
  local took=$((SECONDS - started))
  if ((status == 0)); then
    echo "package-test: PASS (${took} s)"
  else
    echo "package-test: FAIL: ${failure:-a command failed (exit status $status)} (${took} s)" >&2
  fi
}
trap finish EXIT

step "installing what the build and the test need"
scripts/install-deps.sh xvfb xauth x11-utils desktop-file-utils lintian appstream

step "building (Release) in $build_dir"
NUVARO_BUILD_DIR=$build_dir NUVARO_BUILD_TYPE=Release NUVARO_JOBS=$jobs \
  scripts/build.sh -DNUVARO_BUILD_TESTS=OFF -DNUVARO_BUILD_BENCHMARKS=OFF

step "building the Debian package"
rm -f "$build_dir"/nuvaro_*.deb
(cd "$build_dir" && cpack -G DEB)
shopt -s nullglob
debs=("$build_dir"/nuvaro_*.deb)
shopt -u nullglob
((${#debs[@]} == 1)) || fail "expected one nuvaro_*.deb in $build_dir, found ${#debs[@]}"
deb=${debs[0]}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
expected=nuvaro_${version}-1_$(dpkg --print-architecture).deb
[[ $(basename "$deb") == "$expected" ]] || fail "the package is $(basename "$deb"), not $expected"

step "checking the fields and files of $(basename "$deb")"
dpkg-deb --info "$deb"
field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == nuvaro ]] || fail "package name is '$(field Package)', not nuvaro"
[[ -n $version && $(field Version) == "$version"-* ]] ||
  fail "package version '$(field Version)' does not start with the project version '$version'"
[[ -n $(field Maintainer) ]] || fail "no Maintainer field"
[[ -n $(field Section) ]] || fail "no Section field"
[[ -n $(field Description) ]] || fail "no Description field"
depends=$(field Depends)
for needed in libqt6widgets6 libqt6serialport6 libqt6charts6 libqt6uitools6 qt6-qpa-plugins \
  libqt6svg6 qt6-translations-l10n fonts-noto-cjk; do
  [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
app_id=org.example.nuvaro
installed_files=(/usr/bin/nuvaro /usr/bin/nuvaro-devsim /usr/bin/nuvaroctl
  /usr/share/nuvaro/nuvaro.uir
  "/usr/share/applications/$app_id.desktop" "/usr/share/metainfo/$app_id.metainfo.xml"
  /usr/share/icons/hicolor/scalable/apps/nuvaro.svg /usr/share/man/man1/nuvaro.1.gz
  /usr/share/man/man1/nuvaro-devsim.1.gz /usr/share/man/man1/nuvaroctl.1.gz
  /usr/share/bash-completion/completions/nuvaroctl /usr/share/doc/nuvaro/copyright
  /usr/share/doc/nuvaro/changelog.gz /usr/share/doc/nuvaro/changelog.Debian.gz
  /usr/share/doc/nuvaro/manual/index.html /usr/share/doc/nuvaro/manual/protocol.html
  /usr/share/doc/nuvaro/manual/nuvaroctl.html)
for path in "${installed_files[@]}"; do
  grep -qxF ".$path" <<<"$contents" || fail "the package does not hold $path"
done
! grep -qxF ./usr/bin/nuvaro.uir <<<"$contents" || fail "the panel file is still in /usr/bin"

step "lintian on $(basename "$deb")"
# Plain lintian, as a user's distribution runs it; the package carries its
# own overrides (packaging/lintian-overrides), each with its reason.
lintian_out=$(lintian "$deb" 2>&1 || true)
printf '%s\n' "$lintian_out" | grep -v 'running with root privileges' || true
! grep -q '^[EW]: ' <<<"$lintian_out" || fail "lintian reports errors or warnings"

step "installing the package"
status_before=$(dpkg-query -W -f='${Status}' nuvaro 2>/dev/null || true)
if [[ $status_before != "install ok installed" ]]; then remove_package=1; fi
(cd "$build_dir" && "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
  --reinstall --allow-downgrades "./$(basename "$deb")")

step "checking the installed files"
bin=/usr/bin/nuvaro
devsim=/usr/bin/nuvaro-devsim
ctl=/usr/bin/nuvaroctl
for program in "$bin" "$devsim" "$ctl"; do
  [[ -x $program ]] || fail "$program is missing or not executable"
done
# The program loads the panel file by bare name: beside itself, then from
# <prefix>/share/nuvaro/, where the package puts it.
[[ ! -e $(dirname "$bin")/nuvaro.uir ]] || fail "a panel file is beside $bin"
for path in "${installed_files[@]}"; do
  [[ -f $path ]] || fail "$path is missing"
  [[ $(dpkg-query -S "$path" 2>/dev/null) == nuvaro:* ]] || fail "$path is not owned by the nuvaro package"
done
desktop-file-validate "/usr/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate rejects the installed desktop entry"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "appstreamcli rejects the installed metainfo"
for program in "$bin" "$devsim" "$ctl"; do
  if ldd "$program" | grep -q "not found"; then
    ldd "$program" | grep "not found" >&2
    fail "$program needs libraries that are not installed"
  fi
done
# The command-line companion runs without a display: no widget, chart or GUI library.
if ldd "$ctl" | grep -E 'libQt6(Widgets|Charts|Gui)'; then
  fail "$ctl links a GUI library"
fi
bash -n /usr/share/bash-completion/completions/nuvaroctl ||
  fail "the bash completion of nuvaroctl is no valid bash"

step "starting nuvaro under a virtual X server for ${run_seconds} s"
# From another folder, so that the panel file must come from the installed
# data folder; on the X11 platform plugin, which the package must bring in.
(
  cd "$work"
  # shellcheck disable=SC2016 # the inner script expands its own arguments
  env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash -c '
      "$1" >"$2/nuvaro.log" 2>&1 &
      pid=$!
      sleep "$3"
      if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid" && status=0 || status=$?
        echo "nuvaro exited within $3 s with status $status"
        exit 10
      fi
      # The top-level windows of the program (its X class names start with
      # the program name), and whether one is shown.
      shown=0
      for id in $(xwininfo -root -children | awk "tolower(\$0) ~ /\\(\"nuvaro\" / {print \$1}"); do
        xwininfo -id "$id" | grep -q "IsViewable" && shown=1
      done
      kill "$pid"
      wait "$pid" 2>/dev/null || true
      if ((shown == 0)); then
        echo "nuvaro runs but shows no window"
        exit 11
      fi
    ' bash "$bin" "$work" "$run_seconds"
) || {
  echo "--- nuvaro output:" >&2
  cat "$work/nuvaro.log" >&2 || true
  fail "nuvaro did not stay up with its window shown"
}
echo "nuvaro stayed up with its window shown"

step "starting nuvaro-devsim"
"$devsim" --quiet >"$work/devsim.out" 2>"$work/devsim.err" &
devsim_pid=$!
pts=
for _ in $(seq 50); do
  if (($(wc -l <"$work/devsim.out") > 0)); then
    pts=$(head -n 1 "$work/devsim.out")
    break
  fi
  kill -0 "$devsim_pid" 2>/dev/null || break
  sleep 0.1
done
[[ $pts =~ ^/dev/pts/[0-9]+$ ]] || {
  cat "$work/devsim.err" >&2
  fail "nuvaro-devsim's first line is '$pts', not a /dev/pts path"
}
[[ -c $pts ]] || fail "$pts is not a terminal device"
echo "nuvaro-devsim is on $pts"
# The link test "Q1" framed ("$", length 4, "Q1", checksum 0x86, 0x00); the
# device acknowledges with "E1" framed.
stty -F "$pts" raw -echo
exec 3<>"$pts"
printf '\x24\x04\x51\x31\x86\x00' >&3
reply=$(timeout 3 dd bs=1 count=6 <&3 2>/dev/null | od -An -tx1 | tr -s ' \n' ' ' || true)
exec 3>&-
[[ $reply == " 24 04 45 31 7a 00 " ]] || fail "nuvaro-devsim answered the link test with '$reply'"
echo "nuvaro-devsim acknowledges the link test"
# The same check with nuvaroctl, from another folder: its limits come from the
# installed panel file.
ctl_out=$(cd "$work" && "$ctl" --port "$pts" check) ||
  fail "nuvaroctl --port $pts check ended with status $?: $ctl_out"
[[ $ctl_out == *Q1*已确认* ]] || fail "nuvaroctl check printed '$ctl_out'"
read -r -a fixed < <(grep '^download fixed ' cli/download-examples.txt)
(cd "$work" && "$ctl" --port "$pts" "${fixed[@]}" >/dev/null) ||
  fail "nuvaroctl could not download to $pts: ${fixed[*]}"
echo "nuvaroctl checks the link and downloads with the installed panel file's limits"
