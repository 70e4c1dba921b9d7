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
  fonts-ipafont-gothic fonts-nanum fonts-dejavu-core
  cups cups-client libcups2 printer-driver-cups-pdf nsis zip)

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

# The prefix is made once. Each script's Windows fonts are mapped to a free
# font made for that script (Japanese IPA P Gothic, Korean Nanum Gothic,
# Chinese WenQuanYi Micro Hei, Latin DejaVu Sans), so that the windows of
# each language look as a user sees them. The shell's own fonts (captions,
# menus, the list) are mapped to WenQuanYi Micro Hei, which holds every
# script the program shows. Wine draws the window frames itself (Xvfb has
# no window manager).
PREFIX_VERSION=4
ensure_wine_prefix() {
  if [ "$(cat "$WINEPREFIX/.tovrel-ready" 2>/dev/null)" = "$PREFIX_VERSION" ]; then return 0; fi
  log "creating the Wine prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  "$WINE_BIN" wineboot -i >/dev/null 2>&1 || true
  local mapping font
  for mapping in "Tahoma=WenQuanYi Micro Hei" "MS Shell Dlg=WenQuanYi Micro Hei" \
    "MS Shell Dlg 2=WenQuanYi Micro Hei" "Segoe UI=DejaVu Sans" \
    "MS UI Gothic=IPAPGothic" "MS PGothic=IPAPGothic" "MS Gothic=IPAGothic" "Meiryo UI=IPAPGothic" \
    "Malgun Gothic=NanumGothic" "Gulim=NanumGothic" "Dotum=NanumGothic" \
    "Microsoft YaHei=WenQuanYi Micro Hei" "SimSun=WenQuanYi Micro Hei" "PMingLiU=WenQuanYi Micro Hei"; do
    font="${mapping%%=*}"
    "$WINE_BIN" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" \
      /d "${mapping#*=}" /f >/dev/null 2>&1
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
  stop_cupsd
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

# A private CUPS scheduler for the printer tests, with its own configuration,
# spool, logs and socket under build/cups/<pid of this script>, reachable
# only through that socket. Wine's spooler asks CUPS (through libcups, which
# follows CUPS_SERVER) for its printers each time a program starts, so the
# printers added here reach EnumPrintersW of every later Wine program, and
# the prefix needs no refresh.
CUPS_ROOT="$BUILD_DIR/cups"
CUPS_DIR=""
CUPSD_PID=""
# CUPS queue names cannot hold blanks; the printer tests add one named with
# blanks on the Windows side.
TEST_PRINTERS=(Tovrel_PDF Tovrel_Plotter Tovrel_Prohibited)
CUPS_PDF_PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

# Removes what runs that died left behind: their folders and schedulers.
clean_stale_cups() {
  local dir pid
  for dir in "$CUPS_ROOT"/*/; do
    [ -d "$dir" ] || continue
    dir="${dir%/}"
    kill -0 "$(basename "$dir")" 2>/dev/null && continue  # its script still runs
    pid="$(cat "$dir/cupsd.pid" 2>/dev/null || true)"
    if [ -n "$pid" ] && grep -qF "$dir/" "/proc/$pid/cmdline" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
    fi
    rm -rf "$dir"
  done
}

start_cupsd() {
  mkdir -p "$CUPS_ROOT"
  clean_stale_cups
  CUPS_DIR="$CUPS_ROOT/$$"
  mkdir -p "$CUPS_DIR/etc/ppd" "$CUPS_DIR/spool/tmp" "$CUPS_DIR/state" "$CUPS_DIR/cache" "$CUPS_DIR/log"
  cat > "$CUPS_DIR/etc/cups-files.conf" <<CONF
ServerRoot $CUPS_DIR/etc
RequestRoot $CUPS_DIR/spool
TempDir $CUPS_DIR/spool/tmp
StateDir $CUPS_DIR/state
CacheDir $CUPS_DIR/cache
ServerBin /usr/lib/cups
DataDir /usr/share/cups
ErrorLog $CUPS_DIR/log/error_log
AccessLog $CUPS_DIR/log/access_log
PageLog $CUPS_DIR/log/page_log
Printcap $CUPS_DIR/state/printcap
SystemGroup root
FatalErrors config listen
CONF
  cat > "$CUPS_DIR/etc/cupsd.conf" <<CONF
LogLevel warn
Listen $CUPS_DIR/cups.sock
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cupsd -f -c "$CUPS_DIR/etc/cupsd.conf" -s "$CUPS_DIR/etc/cups-files.conf" \
    >"$CUPS_DIR/log/cupsd.out" 2>&1 &
  CUPSD_PID=$!
  echo "$CUPSD_PID" > "$CUPS_DIR/cupsd.pid"
  export CUPS_SERVER="$CUPS_DIR/cups.sock"
  local i
  for i in $(seq 1 100); do
    lpstat -r >/dev/null 2>&1 && break
    kill -0 "$CUPSD_PID" 2>/dev/null || break
    sleep 0.1
  done
  if ! lpstat -r >/dev/null 2>&1; then
    log "cupsd did not start:"
    cat "$CUPS_DIR/log/cupsd.out" "$CUPS_DIR/log/error_log" >&2 2>/dev/null || true
    return 1
  fi
  local printer out attempt
  for printer in "${TEST_PRINTERS[@]}"; do
    # CUPS warns that PPD files are deprecated; only a failure is shown. A
    # scheduler that has just started sometimes drops the first connections
    # on a loaded machine: a few more tries before giving up.
    for attempt in 1 2 3 4 5; do
      out="$(lpadmin -p "$printer" -E -v cups-pdf:/ -P "$CUPS_PDF_PPD" -D "$printer (Tovrel tests)" 2>&1)" && break
      sleep 1
    done
    if ! lpstat -p "$printer" >/dev/null 2>&1; then
      log "lpadmin could not add $printer: $out"
      return 1
    fi
  done
  log "cupsd $CUPSD_PID on $CUPS_SERVER with printers: $(lpstat -e | tr '\n' ' ')"
}

stop_cupsd() {
  [ -n "$CUPSD_PID" ] || return 0
  local printer
  for printer in "${TEST_PRINTERS[@]}"; do
    lpadmin -x "$printer" 2>/dev/null || true
  done
  kill "$CUPSD_PID" 2>/dev/null || true
  wait "$CUPSD_PID" 2>/dev/null || true
  CUPSD_PID=""
  rm -rf "$CUPS_DIR"
}

