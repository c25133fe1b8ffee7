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
import signal
import shutil
import tempfile
import statistics
import subprocess
import sys
import time

from figures import interleave, quartiles, ratio_figure

build = sys.argv[1] if len(sys.argv) > 1 else "build-release"
runs = int(os.environ.get("QVANTO_BENCH_RUNS", "21"))
batches = int(os.environ.get("QVANTO_BENCH_BATCHES", "41"))
# The sections to run, comma-separated (drawing, x, offscreen, sound, pdf, lookup); all by default.
only = set(filter(None, os.environ.get("QVANTO_BENCH_ONLY", "").split(",")))


def wanted(section):
    return not only or section in only
# A Japanese session, as users of the program have.
session = {k: v for k, v in os.environ.items() if k != "LC_ALL"}
session.update(LANG="ja_JP.UTF-8")
env = dict(session, QT_QPA_PLATFORM="offscreen")


def in_process():
    """Google Benchmark's medians of the figures that have no floor."""
    out = subprocess.run(
        [f"{build}/bench/bench_inprocess", "--benchmark_format=json",
         "--benchmark_filter=StampNow|Settings",
         "--benchmark_repetitions=7", "--benchmark_report_aggregates_only=true",
         "--benchmark_min_time=0.2"],
        env=env, check=True, capture_output=True, text=True).stdout
    medians = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            medians[b["run_name"]] = b["real_time"]  # microseconds
    return medians


def in_process_interleaved():
    """The drawing figures against their floors, alternated in small batches
    inside one process (bench_inprocess --interleave): per figure, the median
    of the per-batch ratios and its spread. Times in microseconds."""
    out = subprocess.run([f"{build}/bench/bench_inprocess", "--interleave", str(batches), "200"],
                         env=env, check=True, capture_output=True, text=True).stdout
    return {name: ratio_figure([(p / 1000, f / 1000) for p, f in pairs]) for name, pairs in json.loads(out).items()}


# The program's start-up milestones, in order (host/StartupTrace.h).
MILESTONES = ["main", "application", "controls", "claimed", "font-lists", "settings", "first-redraw", "mapped",
              "first-paint", "painted"]


def run_measured(command, run_env, cwd=None):
    """Wall time (ms) and peak resident memory (MiB) of one run, with its
    output and error streams. The peak is taken by /usr/bin/time: a process
    started straight from Python begins its peak at Python's own size (Linux
    carries the forking process's peak across the exec), some 15 MiB."""
    with tempfile.NamedTemporaryFile("r") as peak:
        start_ns = time.monotonic_ns()
        proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak.name] + command, env=run_env, cwd=cwd,
                              capture_output=True, text=True)
        elapsed_ms = (time.monotonic_ns() - start_ns) / 1e6
        if proc.returncode != 0:
            raise SystemExit(f"{' '.join(command)} exited with status {proc.returncode}: {proc.stderr[-500:]}")
        return start_ns, elapsed_ms, int(peak.read().split()[-1]) / 1024, proc.stdout, proc.stderr


def start_up(program):
    """Wall time to the end of the run, peak memory, and the time of each
    milestone the program traced, all from just before exec."""
    start_ns, elapsed_ms, peak_mib, _, trace = run_measured([program], dict(env, QVANTO_STARTUP_TRACE="1"))
    marks = {}
    for line in trace.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "qvanto-trace":
            marks.setdefault(parts[1], (int(parts[2]) - start_ns) / 1e6)
    return elapsed_ms, peak_mib, marks  # ms, MiB, ms


def whole_process(programs):
    """Every program started once a batch (interleave), so drifts of the
    machine hit all alike; each program's list of (wall ms, peak MiB, marks)."""
    return interleave({name: (lambda program=program: start_up(program)) for name, program in programs.items()}, runs)


def medians(starts):
    """The median wall time, peak memory and time of each milestone."""
    return (statistics.median(t for t, _, _ in starts), statistics.median(m for _, m, _ in starts),
            {k: statistics.median(r[k] for _, _, r in starts) for k in MILESTONES if all(k in r for _, _, r in starts)})


def against(starts, floor, pick):
    """One figure of a program's starts against its floor's, batch by batch."""
    return ratio_figure([(pick(p), pick(f)) for p, f in zip(starts, floor)])


class XServer:
    """A private Xvfb without a window manager, as the program's window is
    mapped the moment it asks; -displayfd lets Xvfb pick a free display."""

    def __enter__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                                      "-nolisten", "tcp", "-noreset"], pass_fds=(write,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise SystemExit("Xvfb did not start")
        self.display = f":{number}"
        return self

    def __exit__(self, *_):
        self.proc.send_signal(signal.SIGTERM)
        self.proc.wait()


def mapped(command, display, extra_env, term=False):
    """Exec to the first top-level window mapped (mapped_watch), the peak
    memory of the process up to then (it is killed there), and the
    milestones it traced, all from exec."""
    proc = subprocess.run([f"{build}/bench/mapped_watch"] + (["--term"] if term else []) + command, capture_output=True, text=True,
                          env=dict(session, DISPLAY=display, QVANTO_STARTUP_TRACE="1", **extra_env))
    watch = [line.split() for line in proc.stdout.splitlines() if line.startswith("mapped-watch ")]
    if proc.returncode != 0 or not watch:
        raise SystemExit(f"{command[0]} under X: {proc.stderr.strip()}")
    exec_ns, mapped_ns, peak_kib = (int(x) for x in watch[0][1:])
    marks = {}
    for line in proc.stderr.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "qvanto-trace":
            marks.setdefault(parts[1], (int(parts[2]) - exec_ns) / 1e6)
    return (mapped_ns - exec_ns) / 1e6, peak_kib / 1024, marks


def under_x(before):
    """The real program as users start it, from a private folder of its own
    (its settings, log and lock kept there; its socket in a private runtime
    folder), against the Japanese floor, on an X server."""
    tree = os.path.abspath(build)
    with tempfile.TemporaryDirectory() as folder, XServer() as x:
        runtime = f"{folder}/runtime"
        os.mkdir(runtime, 0o700)
        programs = {"qvanto": f"{tree}", "japanese": None}
        if before:
            programs["before"] = os.path.abspath(before)
        commands = {}
        for name, source in programs.items():
            if source is None:
                commands[name] = [f"{tree}/bench/firstpaint_japanese"]
                continue
            os.mkdir(f"{folder}/{name}", 0o700)
            for module in ["qvanto"] + [f for f in os.listdir(source) if f.startswith("libqvanto_")]:
                shutil.copy2(f"{source}/{module}", f"{folder}/{name}")
            commands[name] = [f"{folder}/{name}/qvanto"]
        home = dict(HOME=folder, XDG_RUNTIME_DIR=runtime)
        for command in commands.values():  # once each, ended as a user would, so every start finds its settings
            mapped(command, x.display, home, term=True)

        def start(command):
            figures = mapped(command, x.display, home)
            # A killed copy leaves its lock and socket: a user's start finds neither.
            for leftover in [f"{os.path.dirname(command[0])}/qvanto.lock"] + \
                    [f"{runtime}/{f}" for f in os.listdir(runtime) if f.startswith("qvanto-")]:
                if os.path.exists(leftover):
                    os.unlink(leftover)
            return figures
        return interleave({name: (lambda c=command: start(c)) for name, command in commands.items()}, runs)


def sound_onsets(stamps=25):
    """Click on 押印 to the first loud sample at the sound server's monitor,
    under a private X server and sound server (as the tests start them): the
    first stamp (loading the sound module) and the later stamps apart."""
    here = os.path.dirname(os.path.abspath(__file__))
    proc = subprocess.run([f"{here}/../scripts/with-desktop.sh", sys.executable, f"{here}/sound_onset.py",
                           os.path.abspath(build), str(stamps)], capture_output=True, text=True, cwd=here)
    heard = [line.split() for line in proc.stdout.splitlines() if line.startswith("onset ")]
    heard = [(int(n), float(requested), float(loud)) for _, n, requested, loud in
             (h for h in heard if len(h) == 4 and h[2] != "missed")]
    return heard, stamps


def breakdown(marks, where, before=None):
    """Each step of the program's start-up, medians in ms from exec."""
    print(f"\nStart-up steps of the program {where}, medians from exec (ms)"
          + (", the older build beside" if before else "") + ":")
    previous, previous_at, previous_before = "exec", 0.0, 0.0
    for name in MILESTONES:
        if name not in marks:
            continue
        step = f"  {previous + ' -> ' + name:34} {marks[name] - previous_at:6.1f}   at {marks[name]:6.1f}"
        if before and name in before:
            step += f"   older {before[name] - previous_before:6.1f}   at {before[name]:6.1f}"
            previous_before = before[name]
        print(step)
        previous, previous_at = name, marks[name]


def peak_of(command, cwd):
    """As timed, with the peak resident memory of the process (MiB)."""
    _, elapsed_ms, peak_mib, out, _ = run_measured(command, env, cwd)
    return elapsed_ms, peak_mib, out


def pdf_figures(before):
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
        runners = {
            "stamped": lambda: peak_of([x if x else long_pdf for x in stamp], folder),
            "floor": lambda: peak_of([f"{tree}/bench/bench_pdf", "unchanged", long_pdf], folder)}
        # The older build's program and module, from a folder of their own.
        older = f"{folder}/older"
        if before and all(os.path.exists(f"{before}/{name}") for name in ("qvanto", "libqvanto_pdf.so")):
            os.mkdir(older)
            for name in ("qvanto", "libqvanto_pdf.so"):
                shutil.copy2(f"{before}/{name}", older)
            runners["before"] = lambda: peak_of(
                [f"{older}/qvanto"] + [x if x else long_pdf for x in stamp[1:]], older)
        results = interleave(runners, pdf_runs)
        size_kib = os.path.getsize(long_pdf) / 1024
    figures = {}
    for name in results:
        if name != "floor":
            pairs = list(zip(results[name], results["floor"]))
            figures[name] = (ratio_figure([(p[0], f[0]) for p, f in pairs]),
                             ratio_figure([(p[1], f[1]) for p, f in pairs]))
    return added, size_kib, figures


def lookup_figures(before):
    """Looking up 100 numbers spread over a long generated log in one pass
    (FindStampRecords) against `grep -c` of one number over the same file,
    in turn; time and peak memory. The log's size is QVANTO_BENCH_LOG_MIB
    (2,048 by default, about 27 million records); it is written once, so
    both read it from the page cache."""
    mib = int(os.environ.get("QVANTO_BENCH_LOG_MIB", "2048"))
    lookup_runs = int(os.environ.get("QVANTO_BENCH_LOOKUP_RUNS", "5"))
    tool = os.path.abspath(f"{build}/bench/bench_lookup")
    with tempfile.TemporaryDirectory() as folder:
        log = f"{folder}/qvanto.log"
        records = int(peak_of([tool, "make", log, str(mib)], folder)[2])
        middle = peak_of([tool, "number", str(records // 2)], folder)[2].strip()
        runners = {"lookup": lambda: peak_of([tool, "find", log, str(records), "100"], folder),
                   "grep": lambda: peak_of(["grep", "-c", f"QVID:{middle},", log], folder)}
        older = f"{before}/bench/bench_lookup" if before else None
        if older and os.path.exists(older):
            runners["before"] = lambda: peak_of([older, "find", log, str(records), "100"], folder)
        results = interleave(runners, lookup_runs)
    figure = {}
    for name in results:
        if name != "grep":
            pairs = list(zip(results[name], results["grep"]))
            figure[name] = (ratio_figure([(p[0], f[0]) for p, f in pairs]), ratio_figure([(p[1], f[1]) for p, f in pairs]))
    return mib, records, figure


def row(name, figure, unit, target=None, fmt="{:.1f}"):
    spread = f"{figure['spread'][0]:.2f}-{figure['spread'][1]:.2f}"
    goal = f"<={target}x" if target else ""
    met = "" if not target else ("  met" if figure["ratio"] <= target else "  NOT MET")
    print(f"{name:40} {fmt.format(figure['program']):>9} {unit:3} {fmt.format(figure['floor']):>9} {unit:3} "
          f"{figure['ratio']:6.2f}x {spread:>11} {goal:>7}{met}")


def header(title):
    print(f"\n{title}")
    print(f"{'':40} {'Median':>13} {'Floor':>13} {'Ratio':>7} {'Spread':>11} {'Target':>7}")


def main():
    before = os.environ.get("QVANTO_BENCH_BEFORE")  # an older build, to compare in the same run
    print(f"Every figure against its floor, alternated in batches; the ratio is the median of the")
    print(f"per-batch ratios, the spread its quartiles. The machine may be shared: read the ratios.")

    if wanted("drawing"):
        header(f"Drawing (in one process, {batches} batches of 200 calls each side)")
        drawn = in_process_interleaved()
        row("RedrawStamp, default face", drawn["RedrawStamp/0"], "us", 1.1)
        row("RedrawStamp, 40-character company", drawn["RedrawStamp/1"], "us", 1.1)
        row("Keystroke in a row", drawn["Keystroke"], "us", 3.0)
        m = in_process()
        for name, label in (("StampNowWithoutSound", "StampNow without sound (target <5 ms)"),
                            ("LoadSettings", "LoadSettings"), ("SaveSettings", "SaveSettings")):
            print(f"{label:40} {m[name]:>9.1f} us")

    if wanted("x"):
        header(f"Start-up on an X server without a window manager, exec to mapped ({runs} starts each)")
        x = under_x(before)
        row("The program (qvanto) to mapped", against(x["qvanto"], x["japanese"], lambda r: r[0]), "ms", 1.2)
        row("  peak memory (to mapped, then ended)", against(x["qvanto"], x["japanese"], lambda r: r[1]), "MiB", 1.1)
        if before:
            row("The older build to mapped", against(x["before"], x["japanese"], lambda r: r[0]), "ms")
            row("  peak memory", against(x["before"], x["japanese"], lambda r: r[1]), "MiB")
        breakdown(medians(x["qvanto"])[2], "under X", medians(x["before"])[2] if before else None)

    if wanted("offscreen"):
        header(f"Start-up offscreen, exec to the first whole frame ({runs} starts each)")
        programs = {name: f"{build}/bench/firstpaint_{name}" for name in ("qvanto", "japanese", "empty")}
        if before:
            programs["before"] = f"{before}/bench/firstpaint_qvanto"
        w = whole_process(programs)
        painted = lambda r: r[2]["painted"]  # noqa: E731
        row("Start-up to first paint", against(w["qvanto"], w["japanese"], painted), "ms", 1.2)
        row("  against an empty window", against(w["qvanto"], w["empty"], painted), "ms")
        row("Whole run, to the end of the process", against(w["qvanto"], w["japanese"], lambda r: r[0]), "ms")
        row("Peak memory at first paint", against(w["qvanto"], w["japanese"], lambda r: r[1]), "MiB", 1.1)
        row("  against an empty window", against(w["qvanto"], w["empty"], lambda r: r[1]), "MiB")
        if before:
            row("Start-up, older build", against(w["before"], w["japanese"], painted), "ms")
            row("Peak memory, older build", against(w["before"], w["japanese"], lambda r: r[1]), "MiB")
        breakdown(medians(w["qvanto"])[2], "offscreen", medians(w["before"])[2] if before else None)

    if wanted("sound"):
        heard, stamps = sound_onsets()
        header(f"Stamp sound: click on 押印 to the first loud sample at the sound server ({len(heard)} of {stamps} heard)")
        first = [loud for n, _, loud in heard if n == 0]
        later = [loud for n, _, loud in heard if n > 0]
        if first:
            print(f"{'First stamp (loads the sound module)':40} {first[0]:>9.1f} ms   target <=20 ms")
        if later:
            q1, q2, q3 = quartiles(later)
            print(f"{'Later stamps, median':40} {q2:>9.1f} ms   spread {q1:.1f}-{q3:.1f}   target <=20 ms")
            q1, q2, q3 = quartiles([r for n, r, _ in heard if n > 0])
            print(f"{'  of which click to play request':40} {q2:>9.1f} ms   spread {q1:.1f}-{q3:.1f}")

    if wanted("pdf"):
        added, size_kib, figures = pdf_figures(before)
        time_figure, memory = figures["stamped"]
        header(f"PDF stamping: a 1,000-page PDF ({size_kib:.0f} KiB) stamped by `qvanto stamp-pdf`; "
               "floor: PoDoFo loads and saves it unchanged")
        row("Stamping, wall time", time_figure, "ms", 1.3)
        row("  peak memory", memory, "MiB")
        if "before" in figures:
            row("Stamping, older build", figures["before"][0], "ms")
            row("  peak memory", figures["before"][1], "MiB")
        print(f"{'Bytes one 18 mm stamp adds to a one-page PDF':40} {added:>9} B")

    if wanted("lookup"):
        mib, records, figure = lookup_figures(before)
        header(f"Look-up: 100 numbers in a {mib:,} MiB log ({records:,} records); floor: `grep -c` of one number")
        row("Look-up, wall time", figure["lookup"][0], "ms", 1.5)
        row("  peak memory", figure["lookup"][1], "MiB")
        if "before" in figure:
            row("Look-up, older build", figure["before"][0], "ms")

if __name__ == "__main__":
    main()
