#!/usr/bin/env bash
# A log the program must not wait on or write part of: a FIFO in its place
# gives "error" at once; under a file size limit (ulimit -f) the record is
# refused whole, the program lives on and the log stays as it was.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager

# expect_error_box WHAT: the press shows "error" at once; Return closes it
# and the window minimises.
expect_error_box() {
    qv_press_stamp_button
    qv_wait 5 "message box after the press ($1)" qv_has_other_window
    local box
    box=$(qv_other_windows | head -n 1)
    timeout 10 xdotool windowactivate --sync "$box" >/dev/null 2>&1 || true
    xdotool key --clearmodifiers Return
    qv_wait 10 "closed message box ($1)" qv_window_is_gone "$box"
    qv_wait 10 "minimised window ($1)" qv_window_is_iconic
}

mkfifo "$QV_DIR/qvanto.log"
qv_start
qv_wait_for_face "$QV_DIR/window.png"
expect_error_box "FIFO"
[ -p "$QV_DIR/qvanto.log" ] || qv_check_failed "the FIFO in the log's place was replaced"
qv_stop_program
rm "$QV_DIR/qvanto.log"

record=$'QVID:1NNXBR00,2001/03/05 21:07:03 \r\n    A,B,C,D\r\n\r\n'
printf '%s' "$record" >"$QV_DIR/qvanto.log"
cp "$QV_DIR/qvanto.log" "$QV_DIR/log-before"
qv_start
qv_wait_for_face "$QV_DIR/window-limited.png"
prlimit --pid "$QV_PID" --fsize=$(($(stat -c %s "$QV_DIR/qvanto.log") + 20))
expect_error_box "file size limit"
qv_program_is_running || qv_fail "the program ended under the file size limit"
cmp -s "$QV_DIR/log-before" "$QV_DIR/qvanto.log" || qv_check_failed "the log changed under the file size limit"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "a FIFO log and a file size limit gave \"error\"; nothing written, nothing held up"
