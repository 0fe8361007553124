#!/usr/bin/env bash
# Builds the benchmarks and prints the evaluator's speed as ratios to its anchors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dpkg-query -W -f='${Status}' libmuparser-dev 2>/dev/null | grep -q "install ok installed" || {
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends libmuparser-dev
}
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELVAN_BUILD_TESTS=OFF -DZELVAN_BUILD_BENCH=ON > /dev/null
cmake --build build-bench --parallel --target eval_bench
build-bench/bench/eval_bench --benchmark_min_time="${BENCH_MIN_TIME:-0.5}" \
    --benchmark_out=build-bench/eval.json --benchmark_out_format=json
/usr/bin/python3 bench/ratios.py build-bench/eval.json zelvan minimal muparser
