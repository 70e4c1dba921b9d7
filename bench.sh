#!/usr/bin/env bash
# Builds the Windows tree and runs the benchmarks under Wine. Every benchmark
# prints one line "NAME key=value ..." on stdout; build logs and diagnostics
# go to stderr. Benchmarks never fail a build and are not part of the tests.
#
#   ./bench.sh          every benchmark, in the order of the table below
#   ./bench.sh NAME     only that one
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

# A prefix of its own: a benchmark runs for minutes, and a test run's
# wineserver shutdown in a shared prefix would end it (and ours theirs).
export WINEPREFIX="$BUILD_DIR/wineprefix-bench"

# A Windows benchmark program of the build tree, run under Wine.
# shellcheck disable=SC2317  # called through the table below
run_windows_bench() {
  local exe="$WIN_DIR/bench/$1.exe"
  shift
  "$WINE_BIN" "$exe" "$@"
}

# A benchmark that opens windows: it runs on the display started below,
# before the wineserver (Wine takes its display when the server starts).
# shellcheck disable=SC2317  # called through the table below
run_gui_bench() {
  run_windows_bench "$@" 2> >(grep -v "Read access denied" >&2)
}

# The shipped program from its start until its window waits for input,
# against an empty window program started the same way.
# shellcheck disable=SC2317  # called through the table below
run_startup_bench() {
  run_gui_bench startup_bench "$("$WINE_BIN" winepath -w "$DIST_DIR/Tovrel.exe" 2>/dev/null | tr -d '\r')" \
    "$("$WINE_BIN" winepath -w "$WIN_DIR/bench/empty_window.exe" 2>/dev/null | tr -d '\r')"
}

# NAME and the command that prints its line. Add a benchmark with one row.
BENCHMARKS=(
  "template-file    run_windows_bench ini_bench template-file"
  "list-file-10000  run_windows_bench ini_bench list-file-10000"
  "add-folder-10000 run_gui_bench list_bench add-folder-10000"
  "sort-10000       run_gui_bench list_bench sort-10000"
  "script-10000     run_gui_bench list_bench script-10000"
  "startup-10000    run_gui_bench list_bench startup-10000"
  "exit-10000       run_gui_bench list_bench exit-10000"
  "startup          run_startup_bench"
  "preflight-10000  run_gui_bench preflight_bench"
  "run-overhead-50  run_gui_bench run_bench"
  "parallel-100     run_gui_bench parallel_bench parallel-100 0"
  "parallel-100-1   run_gui_bench parallel_bench parallel-100-1 1"
  "run-bookkeeping-10000 run_windows_bench run_bookkeeping_bench"
)

benchmark_names() {
  local row
  for row in "${BENCHMARKS[@]}"; do printf '%s\n' "${row%% *}"; done
}

selected=()
if [ $# -eq 0 ]; then
  selected=("${BENCHMARKS[@]}")
else
  for name in "$@"; do
    found=""
    for row in "${BENCHMARKS[@]}"; do
      if [ "${row%% *}" = "$name" ]; then found="$row"; fi
    done
    if [ -z "$found" ]; then
      log "unknown benchmark '$name'; known: $(benchmark_names | tr '\n' ' ')"
      exit 2
    fi
    selected+=("$found")
  done
fi

ensure_packages
build_windows >&2
ensure_wine_prefix
trap stop_services EXIT
# One display for every benchmark of the run, stopped by its pid at the end.
start_xvfb >&2
start_wineserver

status=0
for row in "${selected[@]}"; do
  read -r name command <<<"$row"
  log "running $name"
  # A benchmark whose line is missing, or says it did not measure what it
  # set out to, failed, even if its program said otherwise.
  # shellcheck disable=SC2086  # the command is a word list by design
  if ! output="$($command)" || ! grep -q "^$name " <<<"$output" || grep -q " error=" <<<"$output"; then
    log "$name failed"
    status=1
  fi
  if [ -n "$output" ]; then printf '%s\n' "$output"; fi
done
exit "$status"
