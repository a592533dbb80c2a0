#!/usr/bin/env bash
# Sets up the machine, builds Velmora and starts it. Arguments go to the
# program, e.g. scripts/run.sh --data-dir ~/Music/catalogue
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Velmora needs a display, and none is set (DISPLAY is empty)." >&2
  echo "Start it from a desktop session, or under a virtual display:" >&2
  echo "  xvfb-run -a scripts/run.sh $*" >&2
  exit 1
fi
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release >/dev/null
exec "$root/build/release/bin/velmora" "$@"
