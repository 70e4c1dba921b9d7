# Shared set-up of run.sh, test.sh and bench.sh: packages, the two build
# trees, the private Wine prefix, a virtual display and the wineserver.
# Sourced, not run. Every step skips what is already done.

TOVREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$TOVREL_ROOT/build"
NATIVE_DIR="$BUILD_DIR/native"
WIN_DIR="$BUILD_DIR/win"
DIST_DIR="$BUILD_DIR/dist"
WINE_BIN=/usr/lib/wine/wine64
WINESERVER_BIN=/usr/lib/wine/wineserver64

export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8

REQUIRED_PACKAGES=(cmake make g++ python3 libgtest-dev g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 wine wine64 xvfb xauth x11-apps x11-utils imagemagick fonts-wqy-microhei
  cups cups-client printer-driver-cups-pdf)

log() { printf '== %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=()
  local p
  for p in "${REQUIRED_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then return 0; fi
  log "installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

build_native() {
  log "building the native tree"
  cmake -S "$TOVREL_ROOT" -B "$NATIVE_DIR" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$NATIVE_DIR" -j"$(nproc)"
}

build_windows() {
  log "building the Windows tree"
  cmake -S "$TOVREL_ROOT" -B "$WIN_DIR" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$TOVREL_ROOT/cmake/mingw-w64.cmake" >/dev/null
  cmake --build "$WIN_DIR" -j"$(nproc)"
}

# The prefix is made once; the Japanese UI font is mapped to an installed CJK
# font, and Wine draws the window frames itself (Xvfb has no window manager).
PREFIX_VERSION=2
ensure_wine_prefix() {
  if [ "$(cat "$WINEPREFIX/.tovrel-ready" 2>/dev/null)" = "$PREFIX_VERSION" ]; then return 0; fi
  log "creating the Wine prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  "$WINE_BIN" wineboot -i >/dev/null 2>&1 || true
  local font
  for font in "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "MS Gothic" "Gulim" "SimSun" "PMingLiU"; do
    "$WINE_BIN" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" \
      /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  "$WINE_BIN" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  "$WINE_BIN" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1
  "$WINESERVER_BIN" -w
  echo "$PREFIX_VERSION" > "$WINEPREFIX/.tovrel-ready"
}

XVFB_PID=""
WINESERVER_PID=""

# Starts Xvfb on the first free display number and exports DISPLAY.
start_xvfb() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
      XVFB_PID=$!
      local i
      for i in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
      done
      if kill -0 "$XVFB_PID" 2>/dev/null; then
        export DISPLAY=":$n"
        return 0
      fi
    fi
  done
  log "no free X display"
  return 1
}

# One persistent wineserver for the whole run.
start_wineserver() {
  "$WINESERVER_BIN" -p -f >/dev/null 2>&1 &
  WINESERVER_PID=$!
  # Wait until the server answers.
  "$WINE_BIN" cmd /c exit >/dev/null 2>&1 || true
}

stop_services() {
  if [ -n "$WINESERVER_PID" ]; then
    "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
    kill "$WINESERVER_PID" 2>/dev/null || true
    wait "$WINESERVER_PID" 2>/dev/null || true
    WINESERVER_PID=""
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}

screenshot() {
  xwd -root -silent -display "$DISPLAY" | convert xwd:- "$1"
}
