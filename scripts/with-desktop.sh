#!/usr/bin/env bash
# Runs a command inside a private desktop session: an Xvfb server, a window
# manager and a PulseAudio server with a null sink, all started here and
# stopped on exit. The tests that run the real program read the clipboard,
# screen and sound of this session from outside, as the user's other
# programs would.
#
# Usage: scripts/with-desktop.sh COMMAND [ARG...]; exits with COMMAND's status.
#
# Exports DISPLAY and PULSE_SERVER for the session, QVANTO_TEST_WM when the
# window manager runs and QVANTO_TEST_SINK when the sound server runs. Only
# the X server is essential: without it the script stops. A missing window
# manager or sound server is reported here, and the tests that need one fail
# on the absent variable rather than pass without having looked.
#
# Works as root with no HOME, no D-Bus and no sound hardware (CI is all
# three): every server gets a private HOME and runtime folder under one
# temporary folder, so nothing lands in the real home folder.
set -euo pipefail

say() { echo "with-desktop: $*" >&2; }
die() { say "$*"; exit 1; }
[ $# -gt 0 ] || die "usage: $0 COMMAND [ARG...]"
command -v Xvfb >/dev/null || die "Xvfb is not installed (Debian package xvfb)"

work=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-desktop.XXXXXX")
pids=()

# shellcheck source=stop-process.sh
. "$(dirname "$0")/stop-process.sh"

# Runs from the EXIT trap only.
# shellcheck disable=SC2317
cleanup() {
    # Clients first, the X server last, so none of them dies on a lost display.
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop_process "${pids[i]}"; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Prints a server's log and stops: used when a server cannot start.
fail_with_log() {
    local what=$1 log=$2
    say "$what"
    [ -s "$log" ] && sed 's/^/  | /' "$log" >&2
    exit 1
}

# X server. -displayfd lets Xvfb choose a free display itself and write its
# number once it accepts connections, which avoids both a race with other
# sessions for the display and polling for the socket.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "${pids[0]}" 2>/dev/null || fail_with_log "Xvfb exited at start-up" "$work/xvfb.log"
    sleep 0.1
done
display=$(tr -dc '0-9' <"$work/display")
[ -n "$display" ] || fail_with_log "Xvfb did not report a display within 10 s" "$work/xvfb.log"
export DISPLAY=":$display"
xprop -root >/dev/null 2>&1 || fail_with_log "no client can reach Xvfb on $DISPLAY" "$work/xvfb.log"

# Window manager: minimising, dialog stacking and activation are its work, not
# the X server's, so the tests that check them need one.
mkdir -p "$work/wm"
if command -v openbox >/dev/null; then
    HOME="$work/wm" XDG_CONFIG_HOME="$work/wm/config" XDG_CACHE_HOME="$work/wm/cache" \
        openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    wm_pid=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        kill -0 "$wm_pid" 2>/dev/null || break
        sleep 0.1
    done
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        export QVANTO_TEST_WM=openbox
    else
        say "openbox did not start; the tests that need a window manager will fail"
        sed 's/^/  | /' "$work/openbox.log" >&2 || true
    fi
else
    say "openbox is not installed; the tests that need a window manager will fail"
fi

# Sound: a user-mode PulseAudio server whose default sink is a null sink, so
# what plays can be recorded from its monitor. As root it only warns, and
# --system would bring its own user and policy, which is not wanted here.
# The sink never rewinds: a stream that starts while the sink has already
# rendered ahead would otherwise be mixed in by a rewind that the monitor
# does not see, and a short sound would lose its first, loudest part.
export XDG_RUNTIME_DIR="$work/runtime"
export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
mkdir -p "$PULSE_RUNTIME_PATH" "$work/pulse/config" "$work/pulse/state"
chmod 700 "$XDG_RUNTIME_DIR" "$PULSE_RUNTIME_PATH"
export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
# Clients must never spawn a server of their own in the real home folder,
# even when ours is missing; they authenticate anonymously on our socket.
printf 'autospawn = no\n' >"$work/pulse/client.conf"
export PULSE_CLIENTCONFIG="$work/pulse/client.conf"
export PULSE_COOKIE="$work/pulse/config/pulse/cookie"
if command -v pulseaudio >/dev/null; then
    HOME="$work/pulse" XDG_CONFIG_HOME="$work/pulse/config" PULSE_STATE_PATH="$work/pulse/state" \
        pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
        --use-pid-file=no --realtime=no --high-priority=no --log-target=stderr \
        --load="module-null-sink sink_name=qvanto_sink norewinds=1" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$PULSE_RUNTIME_PATH/native" \
        >"$work/pulse.log" 2>&1 &
    pids+=($!)
    pulse_pid=$!
    for _ in $(seq 100); do
        LC_ALL=C pactl list short sinks 2>/dev/null | grep -q qvanto_sink && break
        kill -0 "$pulse_pid" 2>/dev/null || break
        sleep 0.1
    done
    if LC_ALL=C pactl set-default-sink qvanto_sink >/dev/null 2>&1; then
        export QVANTO_TEST_SINK=qvanto_sink
    else
        say "PulseAudio did not start; the sound tests will fail"
        sed 's/^/  | /' "$work/pulse.log" >&2 || true
    fi
else
    say "pulseaudio is not installed; the sound tests will fail"
fi

status=0
"$@" || status=$?
exit "$status"
