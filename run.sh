#!/usr/bin/env bash
# Builds Tovrel and starts it under Wine in a demo workspace (build/demo),
# made anew on every run: the shipped files, sample drawings, an end drawing,
# the AutoCAD stand-in as "AutoCAD" and a Tovrel.ini whose file-name rules
# fill printer, paper, orientation and plot area from the drawings' names.
# With a display Tovrel is started there for the user. Without one, the demo
# driver runs one whole batch by itself on a virtual display (adds the
# samples, "All start", waits for the end, runs the same rows through the
# parallel lane, closes Tovrel), prints the journal's summary and ends with
#   demo plotted=<n> errors=<n> files=<n> distinct_files=<n> screenshot=<png>
#   demo-parallel plotted=<n> errors=<n> workers=<n> seconds=<s>
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

DEMO_DIR="$BUILD_DIR/demo"
STANDIN_DIR="$DEMO_DIR/AutoCAD stand-in"  # a folder with a blank in its name
DRIVER="$WIN_DIR/tools/demo_driver/demo_driver.exe"
SHOT_DIR="$BUILD_DIR/screenshots"

# Tovrel.ini of the demo, UTF-16LE with a byte-order mark and CRLF line
# ends. $1 is the workspace as a Windows path. Rules: "_A1" ... "_A4" choose
# printer and paper, "_P"/"_L" the orientation, "(LIM)"/"(EXT)"/"(DSP)" the
# plot area (marks that cannot be mistaken for one another).
write_demo_settings() {
  local ws="$1"
  {
    printf '\xff\xfe'
    sed 's/$/\r/' <<INI | iconv -f UTF-8 -t UTF-16LE
[setting]
file_folder=$ws\\samples
autocad_file=$ws\\AutoCAD stand-in\\acad.exe
coreconsole_file=$ws\\AutoCAD stand-in\\accoreconsole.exe
temp_file=$ws\\atcprint.scr
end_file_dwg=$ws\\endfile.dxf
autocad_type=1
file_set.ps=1
file_set.fp_ps[0].search=_A1
file_set.fp_ps[0].printer=DWG To PDF.pc3
file_set.fp_ps[0].paper=ISO full bleed A1 (841.00 x 594.00 MM)
file_set.fp_ps[1].search=_A2
file_set.fp_ps[1].printer=DWG To PDF.pc3
file_set.fp_ps[1].paper=ISO full bleed A2 (594.00 x 420.00 MM)
file_set.fp_ps[2].search=_A3
file_set.fp_ps[2].printer=Default Windows System Printer.pc3
file_set.fp_ps[2].paper=A3
file_set.fp_ps[3].search=_A4
file_set.fp_ps[3].printer=Default Windows System Printer.pc3
file_set.fp_ps[3].paper=A4
file_set.ds=1
file_set.search_d1=_P
file_set.search_d2=_L
file_set.ss=1
file_set.search_s1=(LIM)
file_set.search_s2=(EXT)
file_set.search_s3=(DSP)
file_set.chg_on=1
moji_type=1
INI
  } > "$DEMO_DIR/Tovrel.ini"
}

# The workspace from scratch: nothing of an earlier run (list, settings,
# script, journal) is left.
prepare_demo() {
  rm -rf "$DEMO_DIR"
  mkdir -p "$DEMO_DIR" "$STANDIN_DIR"
  find "$DIST_DIR" -maxdepth 1 -type f ! -name acad_standin.exe -exec cp {} "$DEMO_DIR"/ \;
  cp -r "$DIST_DIR/samples" "$DEMO_DIR/samples"
  cp "$DIST_DIR/acad_standin.exe" "$STANDIN_DIR/acad.exe"
  cp "$DIST_DIR/acad_standin.exe" "$STANDIN_DIR/accoreconsole.exe"
  # An empty drawing in DXF, which AutoCAD opens as well (see make_samples.py).
  python3 "$TOVREL_ROOT/tools/make_samples.py" --end-drawing "$DEMO_DIR/endfile.dxf"
  DEMO_WIN="$("$WINE_BIN" winepath -w "$DEMO_DIR" | tr -d '\r')"
  write_demo_settings "$DEMO_WIN"
}

ensure_packages
build_windows
ensure_wine_prefix
# The journal goes beside the script, where the demo driver reads it.
unset TOVREL_STANDIN_JOURNAL TOVREL_STANDIN_DELAY_MS

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  prepare_demo
  log "starting Tovrel on display $DISPLAY in $DEMO_DIR"
  cd "$DEMO_DIR"
  exec "$WINE_BIN" ./Tovrel.exe
fi

trap stop_services EXIT
start_xvfb
start_wineserver
prepare_demo
mkdir -p "$SHOT_DIR"
BMP="$SHOT_DIR/demo.bmp"
PNG="$SHOT_DIR/demo.png"
OUT="$DEMO_DIR/demo_driver.out"
ERR="$DEMO_DIR/demo_driver.err"  # Wine's own notices; shown when the demo fails
rm -f "$BMP" "$PNG"
log "no display: the demo driver runs one batch on the virtual display $DISPLAY"
status=0
"$WINE_BIN" "$DRIVER" "$DEMO_WIN" "$("$WINE_BIN" winepath -w "$BMP" | tr -d '\r')" \
  > "$OUT" 2> "$ERR" || status=$?
grep -v '^demo plotted=\|^demo-parallel ' "$OUT" || true
result="$(grep '^demo plotted=' "$OUT" | tail -n 1 || true)"
parallel="$(grep '^demo-parallel ' "$OUT" | tail -n 1 || true)"
if [ -z "$result" ] || [ ! -f "$BMP" ]; then
  cat "$ERR" >&2
  # Show what the screen looked like when the driver gave up.
  screenshot "$PNG" || true
  log "the demo did not finish (driver exit code $status); screen at $PNG"
  exit 1
fi
convert "bmp:$BMP" "$PNG"
rm -f "$BMP"
echo "$result screenshot=$PNG"
[ -n "$parallel" ] && echo "$parallel"
exit "$status"
