#!/usr/bin/env python3
"""Runs the benchmarks of a release build and prints one table.

In-process figures come from Google Benchmark (medians of repetitions);
whole-process figures from starting each first-paint program many times in
turn (median wall time, median peak resident memory). The machine is shared
and noisy: read the ratios to the floors before the absolute times.
"""
import json
import os
import statistics
import subprocess
import sys
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build-release"
runs = int(os.environ.get("QVANTO_BENCH_RUNS", "21"))
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")


def in_process():
    out = subprocess.run(
        [f"{build}/bench/bench_inprocess", "--benchmark_format=json",
         "--benchmark_repetitions=7", "--benchmark_report_aggregates_only=true",
         "--benchmark_min_time=0.2"],
        env=env, check=True, capture_output=True, text=True).stdout
    medians = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            medians[b["run_name"]] = b["real_time"]  # microseconds
    return medians


def start_up(program):
    start = time.perf_counter()
    proc = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed_ms = (time.perf_counter() - start) * 1000
    if status != 0:
        raise SystemExit(f"{program} exited with status {status}")
    return elapsed_ms, usage.ru_maxrss / 1024  # MiB


def whole_process():
    figures = {"qvanto": [], "minimal": []}
    for _ in range(runs):  # interleaved, so drifts of the machine hit both alike
        for name in figures:
            figures[name].append(start_up(f"{build}/bench/firstpaint_{name}"))
    return {name: (statistics.median(t for t, _ in f), statistics.median(m for _, m in f))
            for name, f in figures.items()}


def main():
    m = in_process()
    w = whole_process()
    rows = [
        ("RedrawStamp, default face", m["RedrawStamp/0"], m["RedrawStampFloor/0"], "us", 1.5),
        ("RedrawStamp, 40-character company", m["RedrawStamp/1"], m["RedrawStampFloor/1"], "us", 1.5),
        ("Keystroke in a row", m["Keystroke"], m["RedrawStampFloor/0"], "us", 3.0),
        ("StampNow without sound", m["StampNowWithoutSound"], None, "us", None),
        ("LoadSettings", m["LoadSettings"], None, "us", None),
        ("SaveSettings", m["SaveSettings"], None, "us", None),
        ("Start-up to first paint", w["qvanto"][0], w["minimal"][0], "ms", 1.5),
        ("Peak memory at first paint", w["qvanto"][1], w["minimal"][1], "MiB", 1.3),
    ]
    print(f"{'Figure':38} {'Median':>10} {'Floor':>10} {'Ratio':>7} {'Target':>8}")
    for name, value, floor, unit, target in rows:
        ratio = f"{value / floor:.2f}x" if floor else ""
        goal = f"<={target}x" if target else ("<5 ms" if name.startswith("StampNow") else "")
        floor_text = f"{floor:.1f} {unit}" if floor else ""
        print(f"{name:38} {value:>7.1f} {unit:3} {floor_text:>10} {ratio:>7} {goal:>8}")


if __name__ == "__main__":
    main()
