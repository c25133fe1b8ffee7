"""The stamp sound's onset: the real program clicked on its 押印 button under
the session's X server and sound server (started by scripts/with-desktop.sh),
the sound server's monitor recorded with every fragment's arrival timed on
the monotonic clock, against the click handler's own trace mark. Prints one
"onset <n> <click->sound-requested ms> <click->first loud sample ms>" a stamp."""
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import figures

RATE = 48000
THRESHOLD = 300  # well above dither, far below the stamp sound's attack


def record(stop):
    parec = subprocess.Popen(["parec", "--device=@DEFAULT_MONITOR@", "--raw", "--format=s16le", "--channels=1",
                              f"--rate={RATE}", "--latency-msec=2"], stdout=subprocess.PIPE)
    fragments = []

    def read():
        while not stop.is_set():
            data = os.read(parec.stdout.fileno(), 512)
            if not data:
                break
            fragments.append((time.monotonic_ns(), data))
    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    return parec, fragments


def main(build, stamps):
    with tempfile.TemporaryDirectory() as folder:
        os.chmod(folder, 0o700)
        for module in ["qvanto"] + [f for f in os.listdir(build) if f.startswith("libqvanto_") or f.endswith(".wav")]:
            shutil.copy2(f"{build}/{module}", folder)
        os.mkdir(f"{folder}/runtime", 0o700)
        env = dict(os.environ, HOME=folder, XDG_RUNTIME_DIR=f"{folder}/runtime", QVANTO_STARTUP_TRACE="1")
        program = subprocess.Popen([f"{folder}/qvanto"], env=env, stderr=subprocess.PIPE, text=True)
        marks = []

        def trace():
            for line in program.stderr:
                parts = line.split()
                if len(parts) == 3 and parts[0] == "qvanto-trace":
                    marks.append((parts[1], int(parts[2])))
        threading.Thread(target=trace, daemon=True).start()
        window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(program.pid)],
                                capture_output=True, text=True).stdout.split()[0]
        time.sleep(1.0)
        stop = threading.Event()
        parec, fragments = record(stop)  # one recording throughout, started before the first click
        time.sleep(0.5)
        for n in range(stamps):
            subprocess.run(["xdotool", "windowmap", "--sync", window], capture_output=True)
            time.sleep(0.3)
            # The pointer comes to 押印 a moment before the click, as a hand
            # does; the program readies the sound as it arrives.
            subprocess.run(["xdotool", "mousemove", "--window", window, "90", "278"])
            time.sleep(0.3)
            before, heard = len(marks), len(fragments)
            subprocess.run(["xdotool", "click", "1"])
            time.sleep(1.0)
            got = dict(marks[before:])
            loud = figures.first_loud(fragments[heard:], RATE, THRESHOLD)
            if "stamp-click" in got and "sound-requested" in got and loud is not None:
                click = got["stamp-click"]
                print(f"onset {n} {(got['sound-requested'] - click) / 1e6:.2f} {(loud - click) / 1e6:.2f}",
                      flush=True)
            else:
                print(f"onset {n} missed {sorted(got)} loud={loud is not None}", flush=True)
        stop.set()
        parec.terminate()
        parec.wait()
        program.terminate()
        program.wait()


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
