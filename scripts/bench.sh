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
cmake --build build-bench --parallel --target eval_bench zelvan-cli
build-bench/bench/eval_bench --benchmark_min_time="${BENCH_MIN_TIME:-0.5}" \
    --benchmark_out=build-bench/eval.json --benchmark_out_format=json
/usr/bin/python3 bench/ratios.py build-bench/eval.json zelvan minimal muparser

# Start-up: from process start to the filled and painted main window over the demo
# database, against a bare window, both offscreen.
cmake --build build-bench --parallel --target startup_probe startup_bench
demo="build-bench/startup-demo"
rm -rf "$demo"
build-bench/zelvan-cli demo "$demo/db" > /dev/null
printf 'DB_Dir=%s\r\n' "$(realpath "$demo/db")" > "$demo/Local_Zelvan.ini"
build-bench/bench/startup_bench build-bench/bench/startup_probe "$demo/Local_Zelvan.ini" \
    --benchmark_repetitions=8 --benchmark_report_aggregates_only=true \
    --benchmark_out=build-bench/startup.json --benchmark_out_format=json 2> /dev/null
/usr/bin/python3 - <<'PY'
import json
runs = {b["run_name"].replace("/manual_time", ""): b["real_time"] for b in json.load(open("build-bench/startup.json"))["benchmarks"]
        if b.get("aggregate_name") == "median"}
print(f"start-up to the filled main window / bare window: {runs['startup/zelvan'] / runs['startup/bare']:.2f}")
PY

# Opening and saving a large form.
cmake --build build-bench --parallel --target entry_bench
build-bench/bench/entry_bench --benchmark_out=build-bench/entry.json --benchmark_out_format=json 2> /dev/null
/usr/bin/python3 - <<'PY'
import json
t = {b["name"]: b["real_time"] for b in json.load(open("build-bench/entry.json"))["benchmarks"]}
print(f"open a 40x300 form with 10,000 values / bare table view: {t['open/zelvan'] / t['open/bare_tableview']:.2f}")
print(f"save 3,000 cells among 1,000,000 / raw SQLite: {t['save/zelvan'] / t['save/raw_sqlite']:.2f}")
print(f"autocommit text inserts / save: {t['save/autocommit_text/iterations:2'] / t['save/zelvan']:.1f}")
PY

# The controls: per reference against raw SQLite sums, per formula against the evaluator.
cmake --build build-bench --parallel --target control_bench
build-bench/bench/control_bench --benchmark_out=build-bench/control.json --benchmark_out_format=json 2> /dev/null
/usr/bin/python3 - <<'PY'
import json
t = {b["name"]: b["real_time"] for b in json.load(open("build-bench/control.json"))["benchmarks"]}
print(f"control across forms, per reference / raw SQLite sum: {t['cross/zelvan'] / t['cross/raw_sqlite']:.2f}")
print(f"control of one form, per formula / evaluator per text: {t['one_form/zelvan'] / t['one_form/evaluator']:.1f}")
PY

# Filling a 300-row Word template, against re-packing it unchanged.
cmake --build build-bench --parallel --target template_bench
build-bench/bench/template_bench --benchmark_out=build-bench/template.json --benchmark_out_format=json 2> /dev/null
/usr/bin/python3 - <<'PY'
import json
t = {b["name"]: b["real_time"] for b in json.load(open("build-bench/template.json"))["benchmarks"]}
print(f"fill a 300-row template / unpack, parse and re-pack it unchanged: {t['template/fill'] / t['template/unchanged']:.2f}")
PY

# Export of a data set from 1,000,000 values, against a plain copy of the database file.
cmake --build build-bench --parallel --target exchange_bench
build-bench/bench/exchange_bench --benchmark_out=build-bench/exchange.json --benchmark_out_format=json 2> /dev/null
/usr/bin/python3 - <<'PY'
import json
t = {b["name"]: b["real_time"] for b in json.load(open("build-bench/exchange.json"))["benchmarks"]}
print(f"export of 1,000,000 values / plain copy of the database file: {t['export/zelvan/min_time:2.000'] / t['export/file_copy/min_time:2.000']:.2f}")
PY

# Uploading 50 MB to a local FTP server, against the curl program.
cmake --build build-bench --parallel --target ftp_bench
build-bench/bench/ftp_bench --benchmark_out=build-bench/ftp.json --benchmark_out_format=json 2> /dev/null
/usr/bin/python3 - <<'PY'
import json
t = {b["name"].split("/min_time")[0]: b["real_time"] for b in json.load(open("build-bench/ftp.json"))["benchmarks"]}
print(f"upload throughput through the client / the curl program: {t['upload/curl'] / t['upload/zelvan']:.2f}")
PY
