#!/usr/bin/env bash
# Builds Tovrel and starts it under Wine in a demo workspace (build/demo).
# Without a display it runs on a virtual one, saves a screenshot of the
# window and prints where.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

ensure_packages
build_windows
ensure_wine_prefix

DEMO_DIR="$BUILD_DIR/demo"
mkdir -p "$DEMO_DIR"
# The workspace gets the shipped files; what the user changed there stays.
cp -f "$DIST_DIR"/Tovrel.exe "$DEMO_DIR"/
find "$DIST_DIR" -maxdepth 1 -type f ! -name Tovrel.exe -exec cp -n {} "$DEMO_DIR"/ \;

cd "$DEMO_DIR"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  log "starting Tovrel on display $DISPLAY"
  exec "$WINE_BIN" ./Tovrel.exe
fi

trap stop_services EXIT
start_xvfb
start_wineserver
log "no display: starting Tovrel on the virtual display $DISPLAY"
"$WINE_BIN" ./Tovrel.exe &
APP_PID=$!
for _ in $(seq 1 300); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Tovrel_64 2.02"'; then break; fi
  kill -0 "$APP_PID" 2>/dev/null || { log "Tovrel ended before its window showed"; exit 1; }
  sleep 0.1
done
sleep 1  # let the window finish painting
SHOT="$BUILD_DIR/screenshots/run.png"
mkdir -p "$(dirname "$SHOT")"
screenshot "$SHOT"
kill "$APP_PID" 2>/dev/null || true
echo "screenshot=$SHOT"
