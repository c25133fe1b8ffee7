#!/usr/bin/env bash
# A session that ends the program (SIGTERM at logout or shutdown) closes its
# window as the user would: the settings are saved and the program ends
# normally, also while a message box is open.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"

# terminate_and_check WHAT COLOUR: SIGTERM, then the program must end with
# status 0 and the settings hold the colour.
terminate_and_check() {
    local pid=$QV_PID tries=100 status=0
    kill -TERM "$pid"
    while kill -0 "$pid" 2>/dev/null; do
        ((tries-- > 0)) || qv_fail "the program did not end on SIGTERM ($1)"
        sleep 0.1
    done
    wait "$pid" || status=$?
    QV_PID=
    [ "$status" -eq 0 ] || qv_check_failed "the program ended with status $status, not 0 ($1)"
    grep -q "^color, $2 "$'\r$' "$QV_DIR/qvanto.ini" 2>/dev/null ||
        qv_check_failed "qvanto.ini does not hold the colour chosen before SIGTERM ($1)"
}

qv_start
qv_wait_for_face "$QV_DIR/window.png"
xdotool mousemove --window "$QV_WIN" 115 245 click 1 # colour option "青"
sleep 0.3
terminate_and_check "window alone" 16711680

# A folder in the log's place: the press opens the "error" box. The face
# starts red again.
mkdir "$QV_DIR/qvanto.log"
rm "$QV_DIR/qvanto.ini"
qv_start
qv_wait_for_face "$QV_DIR/window-box.png"
xdotool mousemove --window "$QV_WIN" 67 245 click 1 # colour option "緑"
sleep 0.3
qv_press_stamp_button
qv_wait 10 "message box after the press" qv_has_other_window
terminate_and_check "message box open" 65280

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "SIGTERM saved the settings and ended the program normally, also with a message box open"
