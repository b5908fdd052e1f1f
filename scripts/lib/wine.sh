# Shared by the run, test and screenshot scripts: a display and a Wine prefix.
# Source it; it defines functions only.

export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialog may block prefix creation.
export WINEDLLOVERRIDES="mscoree,mshtml="

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

# Creates (or updates) the prefix in WINEPREFIX and keeps the wineserver alive
# until stop_wine, so each program start is cheap. Pass without-window-manager
# when the display is our own Xvfb.
prepare_prefix() {
  local fresh=0
  [ -f "$WINEPREFIX/system.reg" ] || fresh=1
  # Everything Wine starts in the background inherits these descriptors; none
  # may hold a caller's output pipe open (CTest would wait for it forever).
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot -i </dev/null >/dev/null 2>&1
  if [ "$fresh" = 1 ]; then
    # Arial is served by the metric-compatible Liberation Sans.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f </dev/null >/dev/null 2>&1
    # A crashing program ends at once instead of waiting in the debugger.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
      </dev/null >/dev/null 2>&1
  fi
  if [ "${1:-}" = without-window-manager ]; then
    # Xvfb runs no window manager: Wine must not wait for one to confirm that
    # a window was hidden (it would time out after two seconds every time).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  fi
}

stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
}

# Configures the Windows build in build/win32 (the MinGW-w64 toolchain).
configure_win32() {
  cmake -S . -B build/win32 -G Ninja --no-warn-unused-cli \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake "$@" >/dev/null
}

# A fresh temporary prefix on our own Xvfb display, removed on exit together
# with the paths given.
start_throwaway_wine() {
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/larkspan-wine.XXXXXX)
  THROWAWAY_PATHS=("$WINEPREFIX" "$@")
  trap 'stop_wine; stop_xvfb; rm -rf "${THROWAWAY_PATHS[@]}"' EXIT
  start_xvfb
  echo "Wine prefix $WINEPREFIX on $DISPLAY"
  prepare_prefix without-window-manager
}
