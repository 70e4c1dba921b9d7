#!/usr/bin/env bash
# Builds both trees and runs every test: the portable core natively (with
# sanitizers) and the Windows tests under Wine, in one CTest run.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

ensure_packages
build_native
build_windows
ensure_wine_prefix
trap stop_services EXIT
start_xvfb
start_wineserver
start_cupsd

# One CTest run over both trees, so that it ends with one summary line.
cat > "$BUILD_DIR/CTestTestfile.cmake" <<CTEST
subdirs("native")
subdirs("win")
CTEST
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 600 "$@"
