#!/usr/bin/env bash
# Under a file size limit (ulimit -f) the record is refused whole: the
# program lives on, shows "error" and the log stays as it was.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager

record=$'QVID:1NNXBR00,2001/03/05 21:07:03 \r\n    A,B,C,D\r\n\r\n'
printf '%s' "$record" >"$QV_DIR/qvanto.log"
cp "$QV_DIR/qvanto.log" "$QV_DIR/log-before"
qv_start
qv_wait_for_face "$QV_DIR/window-limited.png"
prlimit --pid "$QV_PID" --fsize=$(($(stat -c %s "$QV_DIR/qvanto.log") + 20))
qv_press_stamp_button
qv_close_message_box "the message box after the press" error
qv_wait 10 "minimised window" qv_window_is_iconic
qv_program_is_running || qv_fail "the program ended under the file size limit"
cmp -s "$QV_DIR/log-before" "$QV_DIR/qvanto.log" || qv_check_failed "the log changed under the file size limit"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "a file size limit gave \"error\"; the log unchanged, the program running"
