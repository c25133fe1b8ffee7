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
# shellcheck source=../x11/lib.sh
. "$(dirname "$0")/../x11/lib.sh"
[ $# -eq 2 ] || qv_fail "usage: $0 PACKAGE_FOLDER VERSION"
[ -n "${DISPLAY:-}" ] || qv_fail "no DISPLAY: run under scripts/with-desktop.sh"
# Closing the window needs a window manager; the sound check a sound server.
qv_require_window_manager
qv_require_sound
for tool in xdotool xprop xwininfo unshare dpkg-deb; do
    command -v "$tool" >/dev/null || qv_fail "$tool is not installed"
done
mapfile -t debs < <(compgen -G "$1/qvanto_$2_*.deb" || true)
[ ${#debs[@]} -eq 1 ] || qv_fail "expected one qvanto_$2_*.deb in $1, found ${#debs[@]}"

# lib.sh's clean-up stops the program and the sound event watcher (kept as
# its recorder) and shows the program's output when the test fails.
QV_DIR=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-installed.XXXXXX")
work=$QV_DIR
trap qv_cleanup EXIT

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

# Every sound stream the session's server opens from now on, in pactl's C
# wording whatever the session's language.
LC_ALL=C pactl subscribe >"$work/sound-events" 2>&1 &
QV_RECORDER=$!
qv_wait 10 "sound event watcher" \
    sh -c 'LC_ALL=C pactl list clients | grep -q "application.process.id = \"$1\""' sh "$QV_RECORDER"

# The working folder is empty, and the data folders searched for the sound are
# only the system's, so only the installed petan.wav can answer.
(
    cd "$work/cwd"
    export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config \
        XDG_CACHE_HOME=$work/cache XDG_DATA_DIRS=/usr/share
    qv_exec_in_session "${namespace[@]}" \
        sh -c 'mount -t overlay qvanto-usr -o "$1" /usr && exec /usr/bin/qvanto' sh "$usr_view"
) >"$work/program.out" 2>&1 &
QV_PID=$!

qv_wait 20 "window captioned '$QV_CAPTION'" qv_find_main_window
QV_WIN=$(qv_find_main_window)
qv_note "installed program $QV_PID, window $QV_WIN"
qv_wait 10 "mapped window" qv_window_is_normal
qv_press_stamp_button
qv_wait 10 "stamp log in the user's data folder" test -s "$user_data/qvanto.log"
qv_note "stamp log written: $user_data/qvanto.log"

# A new playback stream means the sound was found: without a file the
# program only rings the X bell.
qv_wait 10 "sound stream after the press" grep -q "'new' on sink-input" "$work/sound-events"
qv_note "petan.wav played from the installed data folder"

# Close as the user does (the press minimised the window): the settings are
# saved on the way out.
window_has_focus() {
    qv_window_is_normal && [ "$(xdotool getactivewindow 2>/dev/null)" = "$QV_WIN" ]
}
qv_restore
qv_wait 10 "restored window with the focus" window_has_focus
xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$QV_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$QV_PID" 2>/dev/null && qv_fail "the program did not end within 10 s of closing its window"
status=0
wait "$QV_PID" || status=$?
QV_PID=
[ "$status" -eq 0 ] || qv_check_failed "the program ended with status $status"
[ -s "$user_data/qvanto.ini" ] || qv_check_failed "no settings file in the user's data folder after closing"
records=$(grep -c '^QVID:' "$user_data/qvanto.log" || true)
[ "$records" -eq 1 ] || qv_check_failed "the stamp log holds $records records after one press"

# Nothing outside the user's data folder: not beside the program, not
# elsewhere under /usr, not in the working folder.
written=$(cd "$work" && find usr-changes cwd -mindepth 1)
[ -z "$written" ] || qv_check_failed "the program wrote outside the user's data folder: $written"
qv_note "files in the user's data folder: $(ls "$user_data" | tr '\n' ' ')"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "installed program keeps its files in $user_data"
