#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
# Tests build without optimisation in a folder of their own: quicker to compile.
export BUILD_DIR=${BUILD_DIR:-build-test} BUILD_TYPE=${BUILD_TYPE:-Debug}
bash scripts/build.sh
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
