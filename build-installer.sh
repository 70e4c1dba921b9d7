#!/usr/bin/env bash
# Builds the Windows tree, then the installer and the portable zip:
#   build/installer/Tovrel-setup-<version>.exe   (NSIS; "/S" installs silently)
#   build/installer/Tovrel-<version>-portable.zip (build/dist as it is)
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

ensure_packages
build_windows
cmake --build "$WIN_DIR" --target installer portable_zip
ls -1 "$BUILD_DIR/installer"
