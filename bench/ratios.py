#!/usr/bin/python3
"""Reads Google Benchmark JSON and prints each subject's time as a ratio to its anchors.

Benchmarks are named SUBJECT/SHAPE; the first argument names the subject, the others the
anchors. Prints per shape and the geometric mean over all shapes."""
import json
import math
import sys

data = json.load(open(sys.argv[1]))
subject, anchors = sys.argv[2], sys.argv[3:]
times = {}
for b in data["benchmarks"]:
    if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
        continue
    who, shape = b["run_name"].split("/", 1) if "run_name" in b else b["name"].split("/", 1)
    times.setdefault(shape, {})[who] = b["cpu_time"]
logs = {a: [] for a in anchors}
print(f"{'shape':28}" + "".join(f"{subject + ' / ' + a:>22}" for a in anchors))
for shape, t in times.items():
    row = f"{shape:28}"
    for a in anchors:
        r = t[subject] / t[a]
        logs[a].append(math.log(r))
        row += f"{r:22.3f}"
    print(row)
print(f"{'geometric mean':28}" + "".join(f"{math.exp(sum(v) / len(v)):22.3f}" for v in logs.values()))
