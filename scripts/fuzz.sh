#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour checks) and
# runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

bash scripts/setup.sh
if ! command -v clang++ > /dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DZELVAN_BUILD_FUZZ=ON > /dev/null
cmake --build build-fuzz --parallel --target fuzz_evaluate fuzz_substitute

export ASAN_OPTIONS=detect_leaks=1
for target in fuzz_evaluate fuzz_substitute; do
    corpus="build-fuzz/corpus/$target"
    mkdir -p "$corpus"
    cp fuzz/seeds/* "$corpus"/ 2>/dev/null || true
    echo "== $target for ${seconds}s"
    log="build-fuzz/$target.log"
    if ! QT_QPA_PLATFORM=offscreen "build-fuzz/fuzz/$target" -max_total_time="$seconds" -max_len=512 \
            -print_final_stats=1 -artifact_prefix="build-fuzz/$target-" "$corpus" > "$log" 2>&1; then
        grep -E 'ERROR|SUMMARY|#[0-9]+ 0x' "$log" | head -40
        echo "$target failed; the input is in build-fuzz/$target-*"
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units)' "$log"
done
