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
import shutil
import tempfile
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


def peak_of(command, cwd):
    """As timed, with the peak resident memory of the process (MiB)."""
    start_ns = time.monotonic_ns()
    proc = subprocess.Popen(command, env=env, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    out = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed_ms = (time.monotonic_ns() - start_ns) / 1e6
    if status != 0:
        raise SystemExit(f"{' '.join(command)} exited with status {status}")
    return elapsed_ms, usage.ru_maxrss / 1024, out


def pdf_figures():
    """Bytes one stamp adds; stamping a 1,000-page PDF with the program's
    stamp-pdf against PoDoFo loading and saving it unchanged, in turn. The
    program runs from a private folder of its own, its log kept there."""
    pdf_runs = int(os.environ.get("QVANTO_BENCH_PDF_RUNS", "5"))
    tree = os.path.abspath(build)
    with tempfile.TemporaryDirectory() as folder:
        for name in ("qvanto", "libqvanto_pdf.so"):
            shutil.copy2(f"{tree}/{name}", folder)
        small, long_pdf = f"{folder}/small.pdf", f"{folder}/long.pdf"
        for path, pages in ((small, 1), (long_pdf, 1000)):
            peak_of([f"{tree}/bench/bench_pdf", "make", path, str(pages)], folder)
        stamp = [f"{folder}/qvanto", "stamp-pdf", None, f"{folder}/out.pdf", "--page", "1", "--x", "100",
                 "--y", "100"]
        peak_of([x if x else small for x in stamp], folder)
        added = os.path.getsize(f"{folder}/out.pdf") - os.path.getsize(small)
        stamped, floor = [], []
        for _ in range(pdf_runs):
            stamped.append(peak_of([x if x else long_pdf for x in stamp], folder))
            floor.append(peak_of([f"{tree}/bench/bench_pdf", "unchanged", long_pdf], folder))
        size_kib = os.path.getsize(long_pdf) / 1024
    median = statistics.median
    return added, size_kib, (median(t for t, _, _ in stamped), median(m for _, m, _ in stamped)), \
        (median(t for t, _, _ in floor), median(m for _, m, _ in floor))


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
    added, size_kib, stamped, floor = pdf_figures()
    print(f"\nPDF stamping (medians; the floor: PoDoFo loads the same file and saves it unchanged):")
    print(f"  bytes one 18 mm stamp adds to a one-page PDF   {added:>8} B")
    print(f"  a 1,000-page PDF ({size_kib:.0f} KiB), stamp-pdf  {stamped[0]:8.1f} ms {stamped[1]:7.1f} MiB"
          f"   floor {floor[0]:8.1f} ms {floor[1]:7.1f} MiB   {stamped[0] / floor[0]:.2f}x time")


if __name__ == "__main__":
    main()
