# Shared by the run, test, benchmark and screenshot scripts: the host's
# architectures, the Windows builds, a display and a Wine prefix.
# Source it; it defines functions only.
source "$(dirname "${BASH_SOURCE[0]}")/host.sh"

export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialog may block prefix creation.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Gives a program folder the files a user's folder holds beside the
# programs: the suite's spreadsheet and word processor keep their lists of
# recent files there and the address book its entries, and Tessaly reports
# each one that is missing. Lists already there are kept.
make_program_folder() {
  local list
  mkdir -p "$1"
  for list in SumvexFileList.dat QuilloFileList.dat IPAddress.dat; do
    [ -e "$1/$list" ] || : >"$1/$list"
  done
}

# The CPU time a process has used so far, user and system, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Chooses the Wine of one width (i686 or x86_64): exports WINE (the loader),
# WINESERVER and WINEARCH. Each width gets a prefix of its own kind.
select_wine() {
  case "$1" in
    i686) WINE=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 WINEARCH=win32 ;;
    x86_64) WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64 ;;
    *) echo "unknown architecture '$1'" >&2; return 1 ;;
  esac
  if [ ! -x "$WINE" ] || [ ! -x "$WINESERVER" ]; then
    echo "No $(arch_bits "$1") Wine here ($WINE); scripts/setup.sh installs it where this host runs such programs" >&2
    return 1
  fi
  export WINE WINESERVER WINEARCH WINELOADER="$WINE"
}

# The width whose programs this host runs best: 32-bit where it can, as the
# programs were first made for it; 64-bit otherwise.
runnable_arch() {
  if host_runs_32bit; then echo i686; else echo x86_64; fi
}

# "32-bit" or "64-bit", for messages.
arch_bits() {
  case "$1" in i686) echo 32-bit ;; x86_64) echo 64-bit ;; esac
}

# The build folder of one width.
build_dir() {
  case "$1" in
    i686) echo build/win32 ;;
    x86_64) echo build/win64 ;;
  esac
}

# Configures the Windows build of one width in its build folder; further
# arguments go to CMake.
configure_windows() {
  local arch=$1
  shift
  configure_windows_in "$(build_dir "$arch")" "$arch" "$@"
}

# The same in a folder of the caller's choice.
configure_windows_in() {
  local dir=$1 arch=$2
  shift 2
  cmake -S . -B "$dir" -G Ninja --no-warn-unused-cli \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-${arch}.cmake" "$@" >/dev/null
}

# Starts Xvfb at 1366 x 768 x 24, 96 DPI, on a free display and exports DISPLAY.
start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] && continue
    Xvfb ":${n}" -screen 0 1366x768x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X${n}" ] && { export DISPLAY=":${n}"; return 0; }
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  echo "Cannot start Xvfb" >&2
  return 1
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}

# Creates (or updates) the prefix in WINEPREFIX with the Wine chosen by
# select_wine and keeps the wineserver alive until stop_wine, so each program
# start is cheap. Pass without-window-manager when the display is our own Xvfb.
prepare_prefix() {
  local fresh=0
  [ -f "$WINEPREFIX/system.reg" ] || fresh=1
  # The wineserver refuses a prefix folder that does not exist yet.
  mkdir -p "$WINEPREFIX"
  # Everything Wine starts in the background inherits these descriptors; none
  # may hold a caller's output pipe open (CTest would wait for it forever).
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  "$WINE" wineboot -i </dev/null >/dev/null 2>&1
  if [ "$fresh" = 1 ]; then
    # Arial is served by the metric-compatible Liberation Sans.
    wine_reg 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans'
    wine_reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96
    # A crashing program ends at once instead of waiting in the debugger.
    wine_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d ''
  fi
  if [ "${1:-}" = without-window-manager ]; then
    # Xvfb runs no window manager: Wine must not wait for one to confirm that
    # a window was hidden (it would time out after two seconds every time).
    wine_reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  fi
}

wine_reg() {
  "$WINE" reg add "$@" /f </dev/null >/dev/null 2>&1
}

stop_wine() {
  [ -n "${WINESERVER:-}" ] && [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
}

# A fresh temporary prefix of the given width on our own Xvfb display,
# removed on exit together with the further paths given.
start_throwaway_wine() {
  select_wine "$1"
  shift
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/larkspan-wine.XXXXXX)
  THROWAWAY_PATHS=("$WINEPREFIX" "$@")
  trap 'stop_wine; stop_xvfb; rm -rf "${THROWAWAY_PATHS[@]}"' EXIT
  start_xvfb
  echo "Wine prefix $WINEPREFIX ($WINEARCH) on $DISPLAY"
  prepare_prefix without-window-manager
}
