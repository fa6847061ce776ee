#!/usr/bin/env bash
# Renders the program's windows to PNG files in the folder given (default build/screenshots),
# under the offscreen platform: no display needed. QV_BUILD_DIR names another build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QV_BUILD_DIR:-$root/build}"
out="${1:-$build/screenshots}"
"$root/scripts/build.sh" "$build"
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/quorvant_screenshot" "$out"
