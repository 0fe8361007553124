#!/usr/bin/env bash
# Sets up, builds (debug, warnings as errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
export LANG="${LANG:-C.UTF-8}"
export QT_QPA_PLATFORM=offscreen

bash scripts/setup.sh

# A short bounded fuzz run of the evaluator and the reference substitution first, so
# that the test summary stays the last thing printed.
bash scripts/fuzz.sh "${ZELVAN_FUZZ_SECONDS:-20}"

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug > /dev/null
cmake --build build-test --parallel
cd build-test
ctest --output-on-failure --parallel "$(nproc)"
