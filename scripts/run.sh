#!/usr/bin/env bash
# Builds the program and starts it. Extra arguments go to the program
# (for example --folder DIR). Without a display it runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh > /dev/null
program=build/src/sonivera
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@"
fi
exec "$program" "$@"
