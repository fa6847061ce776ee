#!/usr/bin/env bash
# Starts Quorvant; arguments are passed on (a worksheet path). Checks for a display first,
# installs what is missing, and builds only the program and the data files beside it.
# On a machine without a display: xvfb-run -a scripts/run.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found. Run the program under a virtual display, for example:"
  echo "  xvfb-run -a $root/scripts/run.sh $*"
  exit 1
fi
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target quorvant -j"$(nproc)"
exec "$root/build/quorvant" "$@"
