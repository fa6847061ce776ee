#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorvant; arguments are passed on (a worksheet path).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. Run the program under a virtual display, for example:"
  echo "  xvfb-run -a $root/build/quorvant $*"
  exit 1
fi
exec "$root/build/quorvant" "$@"
