#!/usr/bin/env bash
# Sets up, builds (debug, warnings as errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
export LANG="${LANG:-C.UTF-8}"
export QT_QPA_PLATFORM=offscreen

bash scripts/setup.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug > /dev/null
cmake --build build-test --parallel
cd build-test
ctest --output-on-failure --parallel "$(nproc)"
