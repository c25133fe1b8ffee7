# shellcheck shell=bash
# Shared steps of the tests that drive the real program on the session that
# scripts/with-desktop.sh starts. Sourced by each test, which is called with
# the built program's path as its only argument.
#
# Each test runs its own copy of the program from a fresh temporary folder,
# with its modules and petan.wav beside it, so the log and settings files it writes next to
# itself never reach a real user folder. Every wait is bounded, and whatever
# a test started is stopped when it exits, passed or not.

set -euo pipefail

QV_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The caption is the title followed by the version; message boxes carry the
# title alone.
# shellcheck disable=SC2034 # read by the tests that source this file
QV_TITLE='QVanto'
QV_CAPTION='QVanto 1 . 1 . 9'
# The program runs as on a Japanese desktop: LANG set, no LC_ALL. A test
# may set QV_LANG to start it in another session's language.
QV_LANG=ja_JP.UTF-8
# Variables (NAME=value) the program starts with, such as a fake clock's.
QV_ENV=()
QV_PID=
QV_WIN=
QV_RECORDER=
QV_SILENT_SERVER=
QV_ERRORS=0

qv_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A failed check that lets the test go on to show what else is wrong.
qv_check_failed() {
    echo "FAIL: $*" >&2
    QV_ERRORS=$((QV_ERRORS + 1))
}

qv_note() {
    echo "-- $*"
}

# qv_poll SECONDS COMMAND...: runs COMMAND every tenth of a second until it
# succeeds (status 0) or SECONDS have passed (status 1). Fails the test at
# once if the program ends meanwhile.
qv_poll() {
    local tries=$(($1 * 10))
    shift
    while ((tries-- > 0)); do
        "$@" >/dev/null 2>&1 && return 0
        qv_program_is_running || qv_fail "the program ended while the test waited for: $*"
        sleep 0.1
    done
    return 1
}

# qv_wait SECONDS WHAT COMMAND...: qv_poll, failing the test on timeout and
# naming WHAT it waited for.
qv_wait() {
    local seconds=$1 what=$2
    shift 2
    qv_poll "$seconds" "$@" || qv_fail "no $what within ${seconds} s"
}

# True also before the program is started: only a program that ended counts.
qv_program_is_running() {
    [ -z "$QV_PID" ] || kill -0 "$QV_PID" 2>/dev/null
}

# shellcheck source=../../scripts/stop-process.sh
. "$QV_HERE/../../scripts/stop-process.sh"
qv_stop_pid() { stop_process "$1"; }

qv_cleanup() {
    local status=$?
    qv_stop_pid "$QV_RECORDER"
    qv_stop_pid "$QV_PID"
    qv_stop_pid "$QV_SILENT_SERVER"
    # A sanitizer build reports at exit what went wrong inside the program.
    if [ -n "${QV_DIR:-}" ] && grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$QV_DIR/program.out" 2>/dev/null; then
        echo "FAIL: the program reported a sanitizer error" >&2
        status=1
    fi
    if [ -n "${QV_DIR:-}" ] && [ -d "$QV_DIR" ]; then
        if [ "$status" -ne 0 ] && [ -s "$QV_DIR/program.out" ]; then
            echo "-- the program's output:" >&2
            sed 's/^/  | /' "$QV_DIR/program.out" >&2
        fi
        if [ -n "${QVANTO_KEEP_TEST_DIR:-}" ]; then
            echo "-- test folder kept: $QV_DIR" >&2
        else
            rm -rf "$QV_DIR"
        fi
    fi
    exit "$status"
}

# qv_init PROGRAM: checks the session and the tools, and lays out the
# program's temporary folder.
qv_init() {
    if [ $# -lt 1 ] || [ ! -x "$1" ]; then
        qv_fail "usage: $0 PATH_TO_QVANTO (got '${1:-}')"
    fi
    [ -n "${DISPLAY:-}" ] || qv_fail "no DISPLAY: run under scripts/with-desktop.sh"
    local tool
    for tool in xdotool xprop xwininfo xclip import python3; do
        command -v "$tool" >/dev/null || qv_fail "$tool is not installed"
    done
    locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$' ||
        qv_fail "the ja_JP.UTF-8 locale is missing (scripts/install-deps.sh generates it)"
    QV_PROGRAM=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    QV_SOUND_SOURCE=$(dirname "$QV_PROGRAM")/petan.wav
    QV_DIR=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-x11.XXXXXX")
    trap qv_cleanup EXIT
    cp "$QV_PROGRAM" "$QV_DIR/qvanto"
    # Its modules beside it, as installed: the program looks nowhere else
    # but in the installed module folder.
    cp "$(dirname "$QV_PROGRAM")"/libqvanto_*.so "$QV_DIR/"
    if [ -f "$QV_SOUND_SOURCE" ]; then
        cp "$QV_SOUND_SOURCE" "$QV_DIR/petan.wav"
    fi
    # The X server of the session, whatever platform the caller's Qt uses.
    export QT_QPA_PLATFORM=xcb
    # The sound lookup also searches the data folders; keep them empty so
    # that a petan.wav installed elsewhere on the machine cannot answer.
    mkdir -p "$QV_DIR/xdg-data"
    export XDG_DATA_HOME="$QV_DIR/xdg-data" XDG_DATA_DIRS="$QV_DIR/xdg-data"
}

# The window manager does the minimising; without one the program's request
# goes unanswered and no test can tell a minimised window from a forgotten one.
qv_require_window_manager() {
    [ -n "${QVANTO_TEST_WM:-}" ] ||
        qv_fail "no window manager in this session (scripts/with-desktop.sh starts openbox when installed)"
}

# Starts the program in its folder, the working folder too, in a session of
# language QV_LANG (no LC_* or LANGUAGE overriding it), and waits until its
# main window is on the screen.
qv_start() {
    (
        cd "$QV_DIR"
        qv_exec_in_session env "${QV_ENV[@]}" ./qvanto
    ) >>"$QV_DIR/program.out" 2>&1 &
    QV_PID=$!
    qv_wait 20 "window captioned '$QV_CAPTION'" qv_find_main_window
    QV_WIN=$(qv_find_main_window)
    qv_wait 10 "mapped main window" qv_window_is_normal
    qv_note "program $QV_PID, main window $QV_WIN"
}

# qv_exec_in_session COMMAND...: becomes COMMAND in a session of language
# QV_LANG, as a desktop starts programs: LANG set, no LC_* or LANGUAGE.
qv_exec_in_session() {
    while read -r name; do unset "$name"; done < <(compgen -e | grep -E '^(LC_|LANGUAGE$)')
    LANG=$QV_LANG exec "$@"
}

qv_find_main_window() {
    local id
    id=$(xdotool search --all --onlyvisible --pid "$QV_PID" --name "^$QV_CAPTION\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && echo "$id"
}

# Ends the program as the session would end, so that it can be started again.
qv_stop_program() {
    qv_stop_pid "$QV_PID"
    QV_PID=
    QV_WIN=
}

# The program's other visible top-level windows, such as a message box.
qv_other_windows() {
    xdotool search --all --onlyvisible --pid "$QV_PID" --name . 2>/dev/null | grep -vx "$QV_WIN"
}

qv_has_other_window() {
    [ -n "$(qv_other_windows)" ]
}

# qv_close_message_box WHAT: waits for a message box, presses its OK button
# with Return as a user would, and waits until it is gone.
qv_close_message_box() {
    qv_wait 10 "$1" qv_has_other_window
    local box
    box=$(qv_other_windows | head -n 1)
    timeout 10 xdotool windowactivate --sync "$box" >/dev/null 2>&1 || true
    xdotool key --clearmodifiers Return
    qv_wait 10 "closed message box" qv_window_is_gone "$box"
}

# qv_message_box_text ID: the text of a message box as a user reads it
# elsewhere: Qt lets the mouse select a message box's text, a triple click
# selects all of it, and X's primary selection hands it to any program. The
# text lies above the buttons, so the clicks go down the middle of the box's
# upper half until one selects something. The selection is first given a
# placeholder, so that nothing selected before can pass for the box's text.
qv_message_box_text() {
    local box=$1 y text WIDTH HEIGHT placeholder="(no text selected in the box)"
    # Owns the selection until the click takes it; ends with the session.
    printf '%s' "$placeholder" | xclip -selection primary -i >/dev/null 2>&1
    eval "$(xdotool getwindowgeometry --shell "$box" | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
    for ((y = 4; y < HEIGHT / 2; y += 4)); do
        xdotool mousemove --window "$box" $((WIDTH / 2)) "$y" click --repeat 3 --delay 80 1
        text=$(timeout 5 xclip -selection primary -o 2>/dev/null || true)
        if [ -n "$text" ] && [ "$text" != "$placeholder" ]; then
            printf '%s\n' "$text"
            return 0
        fi
    done
    return 1
}

qv_window_is_gone() {
    ! xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# qv_window_state ID: WM_STATE as the window manager keeps it: Normal, Iconic
# or Withdrawn.
qv_window_state() {
    xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: *//p'
}

qv_window_is_normal() {
    [ "$(qv_window_state "$QV_WIN")" = Normal ] &&
        xwininfo -id "$QV_WIN" | grep -q 'Map State: IsViewable'
}

qv_window_is_iconic() {
    [ "$(qv_window_state "$QV_WIN")" = Iconic ]
}

# qv_window_caption ID: the caption as other programs read it.
qv_window_caption() {
    xdotool getwindowname "$1"
}

# Brings a minimised window back, as a click on its task bar entry would.
qv_restore() {
    timeout 10 xdotool windowactivate --sync "$QV_WIN" >/dev/null 2>&1 || true
    qv_wait 10 "restored main window" qv_window_is_normal
}

# The "押印" button: client (5,260), 171 x 36 px. The pointer goes to its
# middle and clicks, through the X server as a user's mouse would.
qv_press_stamp_button() {
    xdotool mousemove --window "$QV_WIN" 90 278 click 1
}

# qv_screenshot FILE: the main window's client area as the X server shows it.
qv_screenshot() {
    import -window "$QV_WIN" "PNG24:$1"
}

# The window's visible face: the drawing area starts at client (7,7); the
# colour frame, which lies above the picture box, hides its last four rows.
QV_FACE_ORIGIN=7,7
QV_FACE_VISIBLE_ROWS=213

# A window still being mapped cannot be read yet; the next try will do.
qv_face_looks_right() {
    qv_screenshot "$1" 2>/dev/null && python3 "$QV_HERE/picture.py" face "$1" \
        --origin "$QV_FACE_ORIGIN" --rows "$QV_FACE_VISIBLE_ROWS" >/dev/null
}

# qv_wait_for_face FILE: waits until the window shows the stamp face, leaving
# the last screenshot in FILE; on timeout, says what is wrong with it.
qv_wait_for_face() {
    local shot=$1 tries=100
    while ((tries-- > 0)); do
        qv_face_looks_right "$shot" && return 0
        sleep 0.1
    done
    if qv_screenshot "$shot"; then
        python3 "$QV_HERE/picture.py" face "$shot" --origin "$QV_FACE_ORIGIN" \
            --rows "$QV_FACE_VISIBLE_ROWS" >&2 || true
    fi
    qv_fail "the window does not show the stamp face (screenshot $shot)"
}

# qv_clipboard TARGET FILE: reads the clipboard from a process of our own,
# as the program the user pastes into would.
qv_clipboard() {
    timeout 10 xclip -selection clipboard -t "$1" -o >"$2"
}

qv_clipboard_targets() {
    timeout 10 xclip -selection clipboard -t TARGETS -o 2>/dev/null
}

# qv_check_clipboard NAME: checks that the clipboard holds the stamp picture,
# saving what it offers as NAME.bmp and NAME.png in the test folder. The
# bitmap must be the 217 x 217 face; the PNG, which other programs prefer,
# may have a transparent background but must look the same on white paper.
qv_check_clipboard() {
    local name=$QV_DIR/$1 targets target size
    targets=$(qv_clipboard_targets)
    for target in image/bmp image/png; do
        if ! grep -qx "$target" <<<"$targets"; then
            qv_check_failed "the clipboard offers no $target; it offers: ${targets//$'\n'/ }"
            return 0
        fi
    done
    if ! qv_clipboard image/bmp "$name.bmp" || ! qv_clipboard image/png "$name.png"; then
        qv_check_failed "the clipboard picture cannot be read"
        return 0
    fi
    size=$(python3 "$QV_HERE/picture.py" size "$name.bmp")
    [ "$size" = 217x217 ] || qv_check_failed "the clipboard bitmap is $size, not 217x217"
    python3 "$QV_HERE/picture.py" face "$name.bmp" --origin 0,0 --rows 217 ||
        qv_check_failed "the clipboard bitmap is not the stamp face"
    # Letting ink fade into transparency rounds each channel a little.
    python3 "$QV_HERE/picture.py" same "$name.bmp" 0,0 "$name.png" 0,0 217 217 --tolerance 3 ||
        qv_check_failed "the clipboard PNG does not show the bitmap's face"
}

# --- sound -------------------------------------------------------------------

qv_require_sound() {
    [ -n "${QVANTO_TEST_SINK:-}" ] ||
        qv_fail "no sound server in this session (scripts/with-desktop.sh starts PulseAudio with a null sink)"
    local tool
    for tool in pactl parec sox; do
        command -v "$tool" >/dev/null || qv_fail "$tool is not installed"
    done
}

# qv_record_start FILE: records everything the session plays, from the null
# sink's monitor, as raw 16-bit stereo samples, until qv_record_stop. Raw
# samples can be read while the recording goes on.
qv_record_start() {
    parec --latency-msec=50 --device="$QVANTO_TEST_SINK.monitor" \
        --format=s16le --rate=44100 --channels=2 >"$1" 2>"$QV_DIR/parec.out" &
    QV_RECORDER=$!
    qv_wait 10 "recording stream on $QVANTO_TEST_SINK.monitor" qv_recorder_is_connected
}

# pactl speaks the session's language; its C output is what is read here.
qv_recorder_is_connected() {
    LC_ALL=C pactl list source-outputs | grep -q "application.process.id = \"$QV_RECORDER\""
}

qv_record_stop() {
    qv_stop_pid "$QV_RECORDER"
    QV_RECORDER=
}

# qv_sound_stat FILE: sox's statistics of a recording of ours (.raw) or of a
# WAV file.
qv_sound_stat() {
    if [[ $1 == *.raw ]]; then
        sox -t raw -e signed-integer -b 16 -r 44100 -c 2 "$1" -n stat 2>&1
    else
        sox "$1" -n stat 2>&1
    fi
}

# qv_peak FILE: the largest sample, 0 to 1; empty while there is none.
qv_peak() {
    qv_sound_stat "$1" | awk '/^Maximum amplitude/ { print $3 }'
}

# qv_louder_than FILE FLOOR: whether the sound's peak exceeds FLOOR (0 to 1).
qv_louder_than() {
    local peak
    peak=$(qv_peak "$1")
    [ -n "$peak" ] && awk -v peak="$peak" -v floor="$2" 'BEGIN { exit !(peak > floor) }'
}

# The least peak a recording of the stamp sound must reach: played whole,
# the thud's peak arrives about as it is in the file; a sound cut short loses
# its peak, which comes first.
qv_stamp_sound_floor() {
    [ -f "$QV_DIR/petan.wav" ] || qv_fail "no petan.wav beside the built program ($QV_SOUND_SOURCE)"
    awk -v peak="$(qv_peak "$QV_DIR/petan.wav")" 'BEGIN { print peak / 2 }'
}

# qv_expect_sound FILE FLOOR WHAT: waits for the recording to reach FLOOR.
qv_expect_sound() {
    if qv_poll 10 qv_louder_than "$1" "$2"; then
        qv_note "$3: peak $(qv_peak "$1") (at least $2)"
    else
        qv_sound_stat "$1" | sed 's/^/  | /' >&2
        qv_check_failed "$3: the recording's peak stays below $2"
    fi
}

# qv_expect_silence SECONDS FILE WHAT: watches the recording for SECONDS.
qv_expect_silence() {
    if qv_poll "$1" qv_louder_than "$2" 0.001; then
        qv_sound_stat "$2" | sed 's/^/  | /' >&2
        qv_check_failed "$3: a sound was recorded"
    elif [ -z "$(qv_peak "$2")" ]; then
        qv_check_failed "$3: the recording holds no samples at all, so proves nothing"
    fi
}

# qv_silent_sound_server_start SOCKET: a "sound server" on a Unix socket that
# accepts every connection and never answers, as a hung server does.
qv_silent_sound_server_start() {
    python3 -c '
import socket, sys
server = socket.socket(socket.AF_UNIX)
server.bind(sys.argv[1])
server.listen(16)
held = []
while True:
    held.append(server.accept()[0])
' "$1" &
    QV_SILENT_SERVER=$!
    qv_wait 10 "silent sound server on $1" test -S "$1"
}

# qv_blank_pdf FILE: one blank A4 page, written by hand; qpdf adds the
# cross-reference table.
qv_blank_pdf() {
    command -v qpdf >/dev/null || qv_fail "qpdf is not installed"
    printf '%s\n' '%PDF-1.4' '1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj' \
        '2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj' \
        '3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >> endobj' \
        'trailer << /Root 1 0 R >>' '%%EOF' >"$QV_DIR/raw.pdf"
    # qpdf's status 3 means it wrote the file with warnings.
    qpdf "$QV_DIR/raw.pdf" "$1" 2>/dev/null || [ $? -eq 3 ] || qv_fail "qpdf could not write $1"
}

# qv_mapped_libraries: the shared objects mapped into the running program.
qv_mapped_libraries() {
    awk '$6 ~ /\.so/ { print $6 }' "/proc/$QV_PID/maps" | sort -u
}
