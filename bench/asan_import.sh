#!/bin/sh
# Builds the interchange tests with AddressSanitizer and UBSan in build-asan/
# and runs the import tests that feed bad files (cut lines, unclosed quotes,
# 100,000-character lines, wrong thresholds and dates).
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSONIVERA_ASAN=ON >/dev/null
cmake --build build-asan -j2 --target test_interchange test_questionnaire
export QT_QPA_PLATFORM=offscreen SONIVERA_LCID=2057 ASAN_OPTIONS=detect_leaks=1
./build-asan/tests/test_interchange --gtest_filter='CsvLineTest.*:CsvFileTest.*:RegisterImportTest.*:OldImportTest.*'
./build-asan/tests/test_questionnaire
