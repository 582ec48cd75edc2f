# Shared by scripts/test, scripts/demo, scripts/env, scripts/native and
# bench/run: the road a run takes, installing what the build needs,
# building, and the virtual display with its Wine server. Sourced, never run.
#
# The programs are 32-bit, and where the host runs 32-bit code they are
# built for i686 and run under 32-bit Wine. A host that runs no 32-bit code
# at all runs the same programs, fixture and tests built for x86_64 under
# 64-bit Wine, and still builds the i686 programs to show that they compile.
#
#   TOOLS_ROAD     "i686" or "x86_64" forces a road; unset, the host decides
#   BUILD_DIR      the build folder; default build/, each road in a folder of
#                  its own under it (build/i686, build/x86_64)
#   TOOLS_DISPLAY  the virtual display; default :97

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
TOOLS_DISPLAY=${TOOLS_DISPLAY:-:97}

COMMON_PACKAGES=(g++-mingw-w64-i686-posix xvfb xdotool gettext googletest cmake make)

# True when this host executes 32-bit x86 code natively. Asked of the
# kernel with a 96-byte i386 program that exits with 42, so nothing needs to
# be installed first. A kernel without IA-32 emulation refuses it ("Exec
# format error"). Emulation through binfmt_misc would run it too, but far
# too slowly for Wine, so it does not count.
host_runs_32bit_code() {
  local flag
  for flag in /proc/sys/fs/binfmt_misc/qemu-i386 /proc/sys/fs/binfmt_misc/qemu-i486; do
    [ -f "$flag" ] && grep -qx enabled "$flag" && return 1
  done
  local probe
  probe=$(mktemp "${TMPDIR:-/tmp}/i386-probe.XXXXXX") || return 1
  # ELF header, one loadable segment, then: mov eax,1; mov ebx,42; int 0x80.
  local elf='\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'
  elf+='\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000'
  elf+='\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000'
  elf+='\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010'
  elf+='\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000'
  elf+='\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200'
  printf "$elf" >"$probe"
  chmod +x "$probe"
  local status
  "$probe" </dev/null >/dev/null 2>&1
  status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

# Sets ROAD ("i686" or "x86_64"), ROAD_LINE (the sentence that names it),
# ROAD_BUILD_DIR and TOOLS_BIN (its programs). Fails on a wrong TOOLS_ROAD.
choose_road() {
  local why
  case ${TOOLS_ROAD:-} in
    i686 | x86_64)
      ROAD=$TOOLS_ROAD
      why="chosen by TOOLS_ROAD=$TOOLS_ROAD"
      ;;
    '')
      if host_runs_32bit_code; then
        ROAD=i686
        why="this host runs 32-bit code"
      else
        ROAD=x86_64
        why="this host runs no 32-bit code"
      fi
      ;;
    *)
      echo "TOOLS_ROAD must be i686 or x86_64, not \"$TOOLS_ROAD\"." >&2
      return 1
      ;;
  esac
  if [ "$ROAD" = i686 ]; then
    ROAD_LINE="i686 build under 32-bit Wine: $why"
  else
    ROAD_LINE="x86_64 build under 64-bit Wine: $why"
  fi
  ROAD_BUILD_DIR=$BUILD_DIR/$ROAD
  TOOLS_BIN=$ROAD_BUILD_DIR/bin
  export TOOLS_BIN
}

road_packages() {
  if [ "$ROAD" = i686 ]; then
    echo wine wine32:i386
  else
    # Not wine32: Debian's wine command would pick its loader even on a
    # host that cannot run it.
    echo g++-mingw-w64-x86-64-posix wine wine64
  fi
}

# The system's own suite ("bookworm"), read from the os-release file.
OS_RELEASE=${OS_RELEASE:-/etc/os-release}
system_suite() {
  local suite
  suite=$(sed -n 's/^VERSION_CODENAME=//p' "$OS_RELEASE" 2>/dev/null | tr -d "\"'")
  [ -n "$suite" ] && echo "$suite"
}

# Installs the named packages that are missing; quick when everything is
# there, and apt is not called then.
#
# The archive's indexes can be out of step for hours: one architecture's
# index of one suite fails ("File has unexpected size ... Mirror sync in
# progress?"), apt-get update exits non-zero, and the install cannot then
# resolve a Multi-Arch library whose two halves would come from different
# suites. So a failed update names each index it could not fetch and goes on
# with the lists that arrived, and a failed install is tried once more with
# every package taken from the system's own suite alone.
install_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" ||
      missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages and not root: install them first." >&2
    return 1
  fi
  case " ${missing[*]}" in
    *:i386*)
      if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386 || {
          echo "Installing failed: dpkg --add-architecture i386 failed." >&2
          return 1
        }
      fi
      ;;
  esac
  local log
  log=$(mktemp) || return 1
  if ! apt-get update >"$log" 2>&1; then
    echo "Some package lists could not be fetched; installing with those that arrived:" >&2
    # One line per index: apt names each in an "E: Failed to fetch" line.
    if grep -q '^E: Failed to fetch ' "$log"; then
      sed -n 's/^E: Failed to fetch /  not fetched: /p' "$log" >&2
    else
      grep -E '^(E|Err):' "$log" | sed 's/^/  /' >&2
    fi
  fi
  local command=(apt-get install -y --no-install-recommends "${missing[@]}")
  local status=0 suite
  DEBIAN_FRONTEND=noninteractive "${command[@]}" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ] && suite=$(system_suite); then
    echo "apt could not resolve the packages with every suite; trying again with the packages of $suite alone. It said:" >&2
    grep -E '^(E|W):' "$log" | sed 's/^/  /' >&2
    command=(apt-get install -y --no-install-recommends -t "$suite" "${missing[@]}")
    status=0
    DEBIAN_FRONTEND=noninteractive "${command[@]}" >"$log" 2>&1 || status=$?
  fi
  if [ "$status" -eq 0 ]; then
    rm -f "$log"
    return 0
  fi
  echo "Installing failed. The command was: ${command[*]}" >&2
  echo "apt said:" >&2
  tail -n 40 "$log" >&2
  rm -f "$log"
  if [ "${ROAD:-}" = i686 ] && [ -z "${TOOLS_ROAD:-}" ]; then
    echo "This host took the i686 road; TOOLS_ROAD=x86_64 takes the other road (64-bit Wine, no i386 packages)." >&2
  fi
  return 1
}

install_dependencies() {
  # shellcheck disable=SC2046  # the road's packages are separate words
  install_packages "${COMMON_PACKAGES[@]}" $(road_packages)
}

# The Wine loader of the road, for CMake and for the shell.
wine_loader() {
  if [ "$ROAD" = x86_64 ]; then
    echo /usr/lib/wine/wine64
  else
    command -v wine
  fi
}

# Configures (once) and builds one target's tree into `dir`.
build_tree() {
  local arch=$1 dir=$2
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
      -DWINE_PROGRAM="$(wine_loader)" >/dev/null || return 1
  fi
  cmake --build "$dir" -j "$(nproc)" -- --no-print-directory
}

# The road's build, which the tests, the demo and the benchmarks run; on the
# 64-bit road the i686 build as well, which is only compiled.
build_project() {
  if [ "$ROAD" = x86_64 ]; then
    echo "Building the i686 programs (compiled only on this road) in $BUILD_DIR/i686"
    build_tree i686 "$BUILD_DIR/i686" || return 1
  fi
  build_tree "$ROAD" "$ROAD_BUILD_DIR"
}

export_wine_environment() {
  export WINEPREFIX="$ROAD_BUILD_DIR/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=C.UTF-8
  export DISPLAY="$TOOLS_DISPLAY"
  if [ "$ROAD" = i686 ]; then
    export WINEARCH=win32
  else
    export WINEARCH=win64
    # "wine" (and "wine-stable", which wineboot and winepath call) run the
    # 64-bit loader even where wine32 is installed as well.
    export WINELOADER=/usr/lib/wine/wine64
    local shims="$ROAD_BUILD_DIR/wine-bin"
    if [ ! -x "$shims/wine-stable" ]; then
      mkdir -p "$shims"
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/wine"
      chmod +x "$shims/wine"
      cp "$shims/wine" "$shims/wine-stable"
    fi
    case ":$PATH:" in
      *":$shims:"*) ;;
      *) export PATH="$shims:$PATH" ;;
    esac
  fi
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

# Set when this shell started the prefix's server, which stop_started then
# stops with every process of the prefix.
WINE_SERVER_STARTED=

start_wine() {
  mkdir -p "$WINEPREFIX"
  if ! wineserver_running; then
    setsid wineserver -f -p </dev/null >/dev/null 2>&1 &
    STARTED_PIDS+=($!)
    WINE_SERVER_STARTED=1
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # A 64-bit prefix reports that its 32-bit side failed; it is not needed.
    wineboot -i </dev/null >/dev/null 2>&1
  fi
  # Wait until the prefix answers a trivial program.
  if ! wine cmd /c exit 0 </dev/null >/dev/null 2>&1; then
    echo "Wine does not run programs in $WINEPREFIX:" >&2
    wine cmd /c exit 0 </dev/null 2>&1 | tail -n 5 >&2
    return 1
  fi
  hold_desktop
}

# Keeps Wine's desktop process up for as long as the server runs, so that
# programs under test neither wait for it to start nor hand it their output
# handles.
hold_desktop() {
  local holder="$TOOLS_BIN/fixturectl.exe"
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
  # A killed server can leave its socket behind. The 64-bit server's
  # process is named wineserver64.
  pgrep -x 'wineserver(32|64)?' >/dev/null
}

# Stops what this shell started. The prefix's server goes first, with
# "wineserver -k", which ends every process of the prefix (services.exe,
# explorer.exe, winedevice.exe and the rest outlive a server that is merely
# killed); then the display.
stop_started() {
  local pid
  if [ -n "$WINE_SERVER_STARTED" ]; then
    wineserver -k </dev/null >/dev/null 2>&1
    WINE_SERVER_STARTED=
  fi
  for pid in "${STARTED_PIDS[@]}"; do
    kill "$pid" 2>/dev/null
  done
  for pid in "${STARTED_PIDS[@]}"; do
    wait "$pid" 2>/dev/null
  done
  STARTED_PIDS=()
}
