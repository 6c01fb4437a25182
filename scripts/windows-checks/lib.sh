# Sourced by every check in scripts/windows-checks/ (run by
# scripts/windows-test.sh, which sets WINEPREFIX, DISPLAY, NUVARO_WINE_WORK,
# NUVARO_WIN_BUILD_DIR, NUVARO_BUILD_DIR and NUVARO_SOURCE_DIR).
set -euo pipefail

fail() {
  echo "FAULT: $*" >&2
  exit 1
}

# nuvaroctl's download example of a mode (fixed or sweep), as arguments into
# the array named by $2: the examples the man page shows.
download_example() { # mode array
  local -n into=$2
  read -r -a into < <(grep "^download $1 " "$NUVARO_SOURCE_DIR/cli/download-examples.txt") ||
    fail "cli/download-examples.txt has no $1 example"
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$NUVARO_WIN_BUILD_DIR/CMakeCache.txt")
installer=$NUVARO_WIN_BUILD_DIR/nuvaro-$version-win64.exe
zip=$NUVARO_WIN_BUILD_DIR/nuvaro-$version-win64.zip
# Where the installer puts the programs ($PROGRAMFILES64\nuvaro), as Linux and
# Windows paths, and its Start-menu folder (all users).
install_dir="$WINEPREFIX/drive_c/Program Files/nuvaro"
install_dir_win='C:\Program Files\nuvaro'
menu_dir="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/nuvaro"
menu_dir_win='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\nuvaro'
panel_title='nuvaro 信号发生器控制面板'

# wine with a time limit (seconds) and without \r in what it prints.
wine_run() { # seconds program args...
  local seconds=$1
  shift
  timeout "$seconds" wine "$@"
}

# The value of a registry entry, as `reg query` prints it.
reg_value() { # key name
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}

# The Linux device simulator on a pseudo-terminal, mapped to COM<n> in the
# prefix. Sets devsim_pid, devsim_pty, devsim_log.
start_devsim() { # com-number devsim-options...
  local com=$1
  shift
  devsim_log=$NUVARO_WINE_WORK/devsim-$com-$RANDOM.log
  local out=$devsim_log.out
  "$NUVARO_BUILD_DIR/bin/nuvaro-devsim" "$@" >"$out" 2>"$devsim_log" &
  devsim_pid=$!
  for _ in $(seq 50); do
    devsim_pty=$(head -1 "$out" 2>/dev/null || true)
    [[ -n $devsim_pty ]] && break
    sleep 0.1
  done
  [[ -n $devsim_pty ]] || fail "nuvaro-devsim printed no terminal"
  ln -sfn "$devsim_pty" "$WINEPREFIX/dosdevices/com$com"
}

stop_devsim() {
  kill "$devsim_pid" 2>/dev/null || true
  wait "$devsim_pid" 2>/dev/null || true
}

# The devsim log without its time stamps.
devsim_frames() { # log
  cut -d' ' -f2- "$1"
}

# Waits for a top-level window whose name is exactly `name`; prints its id.
wait_window() { # name seconds
  local id
  for _ in $(seq $(($2 * 5))); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    if [[ -n $id ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# Types `port` into the panel's port box by the keyboard (Alt+P) and takes it
# with Enter.
choose_port() { # window port
  xdotool key --window "$1" alt+p ctrl+a
  xdotool type --window "$1" "$2"
  xdotool key --window "$1" Return
}

screenshot() { # file
  import -window root "$1"
}

# Ends every Windows process of the prefix.
end_wine_processes() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# A loopback TCP port nothing uses.
free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 40000))
    if ! grep -qi ":$(printf '%04X' "$port") " /proc/net/tcp /proc/net/tcp6 2>/dev/null; then
      echo "$port"
      return
    fi
  done
}

# ser2net (Linux) serving the pseudo-terminal `pty` with docs/usage.md's
# example configuration, its RFC 2217 and raw TCP accepters moved to free
# loopback ports. Sets ser2net_pid, rfc2217_port, raw_port.
start_ser2net() { # pty
  local program config=$NUVARO_WINE_WORK/ser2net-$RANDOM.yaml
  program=$(command -v ser2net || echo /usr/sbin/ser2net)
  [[ -x $program ]] || fail "ser2net is not installed (scripts/install-deps.sh installs it)"
  rfc2217_port=$(free_port)
  raw_port=$(free_port)
  while [[ $raw_port == "$rfc2217_port" ]]; do raw_port=$(free_port); done
  awk '/^## / { inside = ($0 == "## A device across the network") }
       inside && /^    (connection:|  )/ { sub(/^    /, ""); print }' \
    "$NUVARO_SOURCE_DIR/docs/usage.md" |
    sed -e "s|telnet(rfc2217),tcp,2217|telnet(rfc2217),tcp,127.0.0.1,$rfc2217_port|" \
      -e "s|accepter: tcp,2000|accepter: tcp,127.0.0.1,$raw_port|" \
      -e "s|/dev/ttyUSB0|$1|" >"$config"
  grep -q "127.0.0.1,$raw_port" "$config" || fail "docs/usage.md has no ser2net example to run"
  "$program" -n -d -c "$config" -P "$config.pid" >"$config.log" 2>&1 &
  ser2net_pid=$!
  for _ in $(seq 100); do
    if grep -qi "0100007F:$(printf '%04X' "$raw_port") 00000000:0000 0A" /proc/net/tcp; then
      return
    fi
    sleep 0.1
  done
  fail "ser2net does not listen: $(cat "$config.log")"
}

stop_ser2net() {
  kill "$ser2net_pid" 2>/dev/null || true
  wait "$ser2net_pid" 2>/dev/null || true
}
