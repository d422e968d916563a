#!/usr/bin/env bash
# Takes pictures of the login window, of each page of the main window and of
# the vision window (register, details and several test steps) on a
# demonstration register, under a virtual X server. Builds nothing: run
# scripts/build.sh (or cmake --build) first.
#
#   tools/screenshots.sh [OUTPUT_DIR] [BUILD_DIR]
#
# The program takes the pictures itself (its hidden --screenshot option):
# there is no window manager under Xvfb, and grabbing each window keeps
# other windows and the empty root out of the pictures.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/screenshots}"
build="${2:-$here/build}"
program="$build/src/sonivera"
if [ ! -x "$program" ]; then
  echo "No program at $program: build first (scripts/build.sh)." >&2
  exit 1
fi
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb xauth)." >&2; exit 1; }
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
mkdir -p "$out"
# en-GB dates and the HSE categories, whatever the machine's locale.
export SONIVERA_LCID="${SONIVERA_LCID:-2057}"
timeout 120 xvfb-run -a -s "-screen 0 1366x900x24" \
  "$program" --demo --folder "$folder" --screenshot "$out"
ls -1 "$out"/*.png
