#!/usr/bin/env bash
# Captures every window of Tovrel in the four languages on a virtual display
# into build/screenshots/gallery: LANG-WINDOW.png of the whole screen, and
# detail/LANG-WINDOW.png cut to the window shown.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# A prefix of its own: a test run's wineserver shutdown in a shared prefix
# would end the gallery (and ours theirs).
export WINEPREFIX="$BUILD_DIR/wineprefix-screenshots"

ensure_packages
build_windows
ensure_wine_prefix
trap stop_services EXIT
start_xvfb
start_wineserver

OUT="$BUILD_DIR/screenshots/gallery"
rm -rf "$OUT"
mkdir -p "$OUT/detail"
WIN_OUT="$("$WINE_BIN" winepath -w "$OUT" 2>/dev/null | tr -d '\r')"
log "capturing into $OUT on display $DISPLAY"
"$WINE_BIN" "$WIN_DIR/tools/window_gallery/window_gallery.exe" "$WIN_OUT" | tr -d '\r'

# A margin around each window keeps its frame and shadowless edges visible.
MARGIN=8
for bmp in "$OUT"/*.bmp; do
  name="$(basename "$bmp" .bmp)"
  convert "$bmp" "$OUT/$name.png"
  read -r left top right bottom < <(awk -v n="$name" '$1 == n { print $2, $3, $4, $5 }' "$OUT/regions.txt") || true
  if [ -n "${right:-}" ] && [ "$right" -gt "$left" ] && [ "$bottom" -gt "$top" ]; then
    left=$(( left > MARGIN ? left - MARGIN : 0 ))
    top=$(( top > MARGIN ? top - MARGIN : 0 ))
    width=$(( right - left + MARGIN ))
    height=$(( bottom - top + MARGIN ))
    convert "$bmp" -crop "${width}x${height}+${left}+${top}" +repage "$OUT/detail/$name.png"
  fi
  rm -f "$bmp"
  unset left top right bottom
done
ls -1 "$OUT"/*.png "$OUT"/detail/*.png
