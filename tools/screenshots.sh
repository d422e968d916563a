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
# The printed reports of the same register, rendered from their PDF files:
# the audiogram report of the first demonstration patient, the first page of
# the database summary, the first page of a batch and a vision record form.
cli="$build/src/sonivera-cli"
if [ -x "$cli" ] && command -v pdftoppm >/dev/null; then
  "$cli" --folder "$folder" print audiogram 100001 --pdf "$folder/audiogram.pdf"
  "$cli" --folder "$folder" print summary --sort surname --pdf "$folder/summary.pdf" >/dev/null
  "$cli" --folder "$folder" print batch --pdf "$folder/batch.pdf" >/dev/null 2>&1
  pdftoppm -png -r 110 -singlefile "$folder/audiogram.pdf" "$out/report-audiogram"
  pdftoppm -png -r 110 -singlefile "$folder/summary.pdf" "$out/report-summary"
  pdftoppm -png -r 110 -f 2 -l 2 -singlefile "$folder/batch.pdf" "$out/report-batch-page2"
  # The vision record form of the newest vision test (the first line of the vision export).
  "$cli" --folder "$folder" vision-export "$folder/vision.csv" >/dev/null
  vision_patient="$(sed -n 3p "$folder/vision.csv" | cut -d, -f1)"
  "$cli" --folder "$folder" print vision "$vision_patient" --pdf "$folder/vision.pdf"
  pdftoppm -png -r 110 -singlefile "$folder/vision.pdf" "$out/report-vision"
else
  echo "No sonivera-cli or pdftoppm: the report pictures are left out." >&2
fi
ls -1 "$out"/*.png
