#!/usr/bin/env bash
# Runs a command inside a private desktop session: an Xvfb server and a
# PulseAudio server with a null sink, both started here and stopped on exit.
# The tests that run the real program read the clipboard, screen and sound
# of this session from outside, as the user's other programs would.
set -euo pipefail
work=$(mktemp -d /tmp/qvanto-desktop.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A free display number: the first whose lock file is absent.
display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X${display}" ] && break
    sleep 0.1
done
export DISPLAY=":$display"

# Sound: a user-mode PulseAudio server whose default sink is a null sink,
# so what plays can be recorded from its monitor.
export XDG_RUNTIME_DIR="$work/runtime"
export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
mkdir -p "$PULSE_RUNTIME_PATH" && chmod 700 "$XDG_RUNTIME_DIR"
export HOME_BEFORE="$HOME"
if command -v pulseaudio >/dev/null; then
    pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
        --load="module-null-sink sink_name=qvanto_sink" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$PULSE_RUNTIME_PATH/native" \
        --load="module-always-sink" \
        >"$work/pulse.log" 2>&1 &
    pids+=($!)
    export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
    for _ in $(seq 100); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl set-default-sink qvanto_sink >/dev/null 2>&1 || true
    export QVANTO_TEST_SINK=qvanto_sink
fi
"$@"
