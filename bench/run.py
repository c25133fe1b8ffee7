#!/usr/bin/env python3
"""Runs the benchmarks of a release build and prints one table.

In-process figures come from Google Benchmark (medians of repetitions);
whole-process figures from starting each first-paint program many times in
turn (median wall time, median peak resident memory), with the program's
start-up split into steps by its own trace (QVANTO_STARTUP_TRACE). The machine is shared
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


# The program's start-up milestones, in order (host/StartupTrace.h).
MILESTONES = ["main", "application", "controls", "font-lists", "settings", "first-redraw", "mapped",
              "first-paint", "painted"]


def start_up(program):
    """Wall time to the end of the run, peak memory, and the time of each
    milestone the program traced, all from just before exec."""
    start_ns = time.monotonic_ns()  # CLOCK_MONOTONIC, as the trace
    proc = subprocess.Popen([program], env=dict(env, QVANTO_STARTUP_TRACE="1"),
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    trace = proc.stderr.read()
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed_ms = (time.monotonic_ns() - start_ns) / 1e6
    if status != 0:
        raise SystemExit(f"{program} exited with status {status}")
    marks = {}
    for line in trace.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "qvanto-trace":
            marks.setdefault(parts[1], (int(parts[2]) - start_ns) / 1e6)
    return elapsed_ms, usage.ru_maxrss / 1024, marks  # ms, MiB, ms


def whole_process(programs):
    figures = {name: [] for name in programs}
    for _ in range(runs):  # interleaved, so drifts of the machine hit all alike
        for name, program in programs.items():
            figures[name].append(start_up(program))
    return {name: (statistics.median(t for t, _, _ in f), statistics.median(m for _, m, _ in f),
                   {k: statistics.median(r[k] for _, _, r in f) for k in MILESTONES if all(k in r for _, _, r in f)})
            for name, f in figures.items()}


def breakdown(marks):
    """Each step's median share of start-up, from exec to the first paint."""
    print("\nStart-up of the program, medians from exec (ms; 'painted': the first frame whole,")
    print("as the benchmark times it for the floors too):")
    previous, previous_at = "exec", 0.0
    for name in MILESTONES:
        if name not in marks:
            continue
        print(f"  {previous + ' -> ' + name:34} {marks[name] - previous_at:6.1f}   at {marks[name]:6.1f}")
        previous, previous_at = name, marks[name]


def main():
    m = in_process()
    programs = {name: f"{build}/bench/firstpaint_{name}" for name in ("qvanto", "japanese", "empty")}
    # An older build's program, to compare before and after in one run.
    before = os.environ.get("QVANTO_BENCH_BEFORE")
    if before:
        programs["before"] = f"{before}/bench/firstpaint_qvanto"
    w = whole_process(programs)
    rows = [
        ("RedrawStamp, default face", m["RedrawStamp/0"], m["RedrawStampFloor/0"], "us", 1.5),
        ("RedrawStamp, 40-character company", m["RedrawStamp/1"], m["RedrawStampFloor/1"], "us", 1.5),
        ("Keystroke in a row", m["Keystroke"], m["RedrawStampFloor/0"], "us", 3.0),
        ("StampNow without sound", m["StampNowWithoutSound"], None, "us", None),
        ("LoadSettings", m["LoadSettings"], None, "us", None),
        ("SaveSettings", m["SaveSettings"], None, "us", None),
        ("Start-up to first paint", w["qvanto"][2]["painted"], w["japanese"][2]["painted"], "ms", 1.5),
        ("  against an empty window", w["qvanto"][2]["painted"], w["empty"][2]["painted"], "ms", None),
        ("Whole run, to the end of the process", w["qvanto"][0], w["japanese"][0], "ms", None),
        ("Peak memory at first paint", w["qvanto"][1], w["japanese"][1], "MiB", 1.3),
        ("  against an empty window", w["qvanto"][1], w["empty"][1], "MiB", None),
    ]
    if before:
        rows += [("Start-up, older build", w["before"][2]["painted"], w["japanese"][2]["painted"], "ms", None),
                 ("Whole run, older build", w["before"][0], w["japanese"][0], "ms", None),
                 ("Peak memory, older build", w["before"][1], w["japanese"][1], "MiB", None)]
    print(f"{'Figure':38} {'Median':>10} {'Floor':>10} {'Ratio':>7} {'Target':>8}")
    for name, value, floor, unit, target in rows:
        ratio = f"{value / floor:.2f}x" if floor else ""
        goal = f"<={target}x" if target else ("<5 ms" if name.startswith("StampNow") else "")
        floor_text = f"{floor:.1f} {unit}" if floor else ""
        print(f"{name:38} {value:>7.1f} {unit:3} {floor_text:>10} {ratio:>7} {goal:>8}")
    breakdown(w["qvanto"][2])


if __name__ == "__main__":
    main()
