#!/usr/bin/env bash
# The packaged program where the package puts it, as the user starts it from
# the menu: /usr/bin/qvanto with its sound in /usr/share/QVanto. The window
# opens; "押印" plays the installed petan.wav and writes the stamp log into
# the user's data folder, $XDG_DATA_HOME/QVanto; closing the window saves the
# settings there too; and nothing is written beside the program or anywhere
# else under /usr.
#
# The package's files are laid over /usr in a private mount namespace, so the
# machine itself is never changed. As root (CI) the view of /usr is writable,
# as an administrator's is, so only the program knowing its installed folder
# keeps it from writing beside itself; everything written lands in a scratch
# folder that the test inspects. Without root the view is read-only, as for
# any other user.
#
# Usage: installed_program.sh PACKAGE_FOLDER VERSION; run inside
# scripts/with-desktop.sh's session.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 PACKAGE_FOLDER VERSION" >&2; exit 2; }
fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }
errors=0
failed() { echo "FAIL: $*" >&2; errors=$((errors + 1)); }

[ -n "${DISPLAY:-}" ] || fail "no DISPLAY: run under scripts/with-desktop.sh"
[ -n "${QVANTO_TEST_WM:-}" ] || fail "no window manager in this session: closing the window needs one"
[ -n "${QVANTO_TEST_SINK:-}" ] || fail "no sound server in this session: the sound check needs one"
for tool in xdotool xprop xwininfo pactl unshare dpkg-deb; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
mapfile -t debs < <(compgen -G "$1/qvanto_$2_*.deb" || true)
[ ${#debs[@]} -eq 1 ] || fail "expected one qvanto_$2_*.deb in $1, found ${#debs[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-installed.XXXXXX")
pid=
subscriber=
# shellcheck source=../../scripts/stop-process.sh
. "$(dirname "$0")/../../scripts/stop-process.sh"
cleanup() {
    local status=$?
    stop_process "$subscriber"
    stop_process "$pid"
    if [ "$status" -ne 0 ] && [ -s "$work/program.out" ]; then
        echo "-- the program's output:" >&2
        sed 's/^/  | /' "$work/program.out" >&2 || true
    fi
    if [ "$status" -ne 0 ] && [ -n "$(ls -A "$work/usr-changes" 2>/dev/null)" ]; then
        echo "-- written under /usr:" >&2
        (cd "$work/usr-changes" && find . -type f | sed 's,^\.,  | /usr,') >&2 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# wait_for SECONDS WHAT COMMAND...: bounded; fails naming WHAT.
wait_for() {
    local seconds=$1 what=$2
    local tries=$((seconds * 10))
    shift 2
    while ((tries-- > 0)); do
        "$@" >/dev/null 2>&1 && return 0
        [ -z "$pid" ] || kill -0 "$pid" 2>/dev/null || fail "the program ended while waiting for $what"
        sleep 0.1
    done
    fail "no $what within $seconds s"
}

dpkg-deb --extract "${debs[0]}" "$work/package"
mkdir -p "$work/home" "$work/data" "$work/config" "$work/cache" "$work/cwd" \
    "$work/usr-changes" "$work/usr-work"
user_data=$work/data/QVanto
if [ "$(id -u)" -eq 0 ]; then
    namespace=(unshare --mount --propagation private)
    usr_view="lowerdir=$work/package/usr:/usr,upperdir=$work/usr-changes,workdir=$work/usr-work"
else
    namespace=(unshare --user --map-root-user --mount --propagation private)
    usr_view="lowerdir=$work/package/usr:/usr"
fi

# Every sound stream the session's server opens from now on.
pactl subscribe >"$work/sound-events" 2>&1 &
subscriber=$!
wait_for 10 "sound event watcher" \
    sh -c 'pactl list clients | grep -q "application.process.id = \"$1\""' sh "$subscriber"

# The working folder is empty, and the data folders searched for the sound are
# only the system's, so only the installed petan.wav can answer.
(
    cd "$work/cwd"
    export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config \
        XDG_CACHE_HOME=$work/cache XDG_DATA_DIRS=/usr/share
    exec "${namespace[@]}" sh -c 'mount -t overlay qvanto-usr -o "$1" /usr && exec /usr/bin/qvanto' \
        sh "$usr_view"
) >"$work/program.out" 2>&1 &
pid=$!

main_window() {
    local id
    id=$(xdotool search --all --onlyvisible --pid "$pid" --name '^QVanto 1' 2>/dev/null | head -n 1)
    [ -n "$id" ] && echo "$id"
}
wait_for 20 "window captioned 'QVanto 1…'" main_window
win=$(main_window)
note "installed program $pid, window $win ($(xdotool getwindowname "$win"))"
window_is_normal() {
    xprop -id "$win" WM_STATE | grep -q 'window state: Normal' &&
        xwininfo -id "$win" | grep -q 'Map State: IsViewable'
}
wait_for 10 "mapped window" window_is_normal
# The "押印" button: client (5,260), 171 x 36 px; one click in its middle.
xdotool mousemove --window "$win" 90 278 click 1
wait_for 10 "stamp log in the user's data folder" test -s "$user_data/qvanto.log"
note "stamp log written: $user_data/qvanto.log"

# A new playback stream means the sound was found: without a file the
# program only rings the X bell.
wait_for 10 "sound stream after the press" grep -q "'new' on sink-input" "$work/sound-events"
note "petan.wav played from the installed data folder"

# Close as the user does (the press minimised the window): the settings are
# saved on the way out.
window_has_focus() {
    window_is_normal && [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ]
}
timeout 10 xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
wait_for 10 "restored window with the focus" window_has_focus
xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end within 10 s of closing its window"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || failed "the program ended with status $status"
[ -s "$user_data/qvanto.ini" ] || failed "no settings file in the user's data folder after closing"
records=$(grep -c '^QVID:' "$user_data/qvanto.log" || true)
[ "$records" -eq 1 ] || failed "the stamp log holds $records records after one press"

# Nothing outside the user's data folder: not beside the program, not
# elsewhere under /usr, not in the working folder.
written=$(cd "$work" && find usr-changes cwd -mindepth 1)
[ -z "$written" ] || failed "the program wrote outside the user's data folder: $written"
note "files in the user's data folder: $(ls "$user_data" | tr '\n' ' ')"

[ "$errors" -eq 0 ] || exit 1
note "installed program keeps its files in $user_data"
