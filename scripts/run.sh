#!/usr/bin/env bash
# Sets up, builds and starts Zelvan over the demo reporting set.
#   ZELVAN_DEMO_DIR  the demo database folder (default ~/zelvan-demo)
set -euo pipefail
cd "$(dirname "$0")/.."
export LANG="${LANG:-C.UTF-8}"

bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELVAN_BUILD_TESTS=OFF > /dev/null
cmake --build build-release --parallel

demo="${ZELVAN_DEMO_DIR:-$HOME/zelvan-demo}"
[ -f "$demo/zelvan.sqlite" ] || build-release/zelvan-cli demo "$demo"
build-release/zelvan-cli configure "$demo"
exec build-release/zelvan
