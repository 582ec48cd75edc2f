# Shared by scripts/test, scripts/demo and scripts/env: installing what the
# build needs, building, and the virtual display with its Wine server.
# Sourced, never run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
TOOLS_DISPLAY=${TOOLS_DISPLAY:-:97}

PACKAGES=(g++-mingw-w64-i686-posix wine wine32:i386 xvfb xdotool gettext
          googletest cmake make)

# Installs the packages that are missing; quick when everything is there.
install_dependencies() {
  local missing=()
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" ||
      missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages and not root: install them first." >&2
    return 1
  fi
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

build_project() {
  if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null || return 1
  fi
  cmake --build "$BUILD_DIR" -j "$(nproc)" -- --no-print-directory
}

export_wine_environment() {
  export WINEPREFIX="$BUILD_DIR/wineprefix"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=C.UTF-8
  export DISPLAY="$TOOLS_DISPLAY"
}

# Process ids of what this shell started, for stop_started.
STARTED_PIDS=()

start_display() {
  local n=${DISPLAY#:}
  if [ -S "/tmp/.X11-unix/X$n" ] && xdpyinfo_ok; then
    return 0
  fi
  rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
  setsid Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp \
    </dev/null >/dev/null 2>&1 &
  STARTED_PIDS+=($!)
  local i
  for i in $(seq 1 100); do
    [ -S "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

xdpyinfo_ok() {
  # xdotool answers only when the display is really there.
  xdotool getdisplaygeometry >/dev/null 2>&1
}

start_wine() {
  mkdir -p "$WINEPREFIX"
  if ! wineserver_running; then
    setsid wineserver -f -p </dev/null >/dev/null 2>&1 &
    STARTED_PIDS+=($!)
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1
  fi
  # Wait until the prefix answers a trivial program.
  wine cmd /c exit 0 </dev/null >/dev/null 2>&1
  hold_desktop
}

# Keeps Wine's desktop process up for as long as the server runs, so that
# programs under test neither wait for it to start nor hand it their output
# handles.
hold_desktop() {
  local holder="$BUILD_DIR/bin/fixturectl.exe"
  [ -f "$holder" ] || return 0
  local pidfile="$WINEPREFIX/desktop-holder.pid"
  if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
    return 0
  fi
  setsid wine "$holder" hold </dev/null >/dev/null 2>&1 &
  echo $! >"$pidfile"
  STARTED_PIDS+=($!)
}

wineserver_running() {
  # The server of a prefix listens in a folder named after the prefix's
  # device and inode numbers.
  local dev ino
  read -r dev ino < <(stat -c '%d %i' "$WINEPREFIX")
  local socket
  socket=$(printf '/tmp/.wine-%s/server-%x-%x/socket' "$(id -u)" "$dev" "$ino")
  [ -S "$socket" ] || return 1
  # A killed server can leave its socket behind.
  pgrep -x wineserver >/dev/null
}

stop_started() {
  local pid
  for pid in "${STARTED_PIDS[@]}"; do
    kill "$pid" 2>/dev/null
  done
  for pid in "${STARTED_PIDS[@]}"; do
    wait "$pid" 2>/dev/null
  done
  STARTED_PIDS=()
}
