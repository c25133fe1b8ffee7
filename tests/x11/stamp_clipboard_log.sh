#!/usr/bin/env bash
# The stamp button as the user uses it: a click puts the face on the
# clipboard, where another program can paste it, appends a record to the log
# beside the program and minimises the window; a second click after
# restoring the window appends a second record with a new number.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager
picture() { python3 "$QV_HERE/picture.py" "$@"; }
log_dates=("$(date +%Y.%m.%d)")

qv_start
qv_wait_for_face "$QV_DIR/window-1.png"
qv_press_stamp_button
qv_wait 10 "minimised window after the first press" qv_window_is_iconic

qv_check_clipboard clipboard-1
# The picture is the face on the screen, pixel for pixel, as far as the
# window shows it.
picture same "$QV_DIR/window-1.png" "$QV_FACE_ORIGIN" "$QV_DIR/clipboard-1.bmp" 0,0 \
    217 "$QV_FACE_VISIBLE_ROWS" ||
    qv_check_failed "the clipboard picture is not the face shown in the window"

# The date row was set at start-up; the test may have crossed midnight since.
log_dates+=("$(date +%Y.%m.%d)")
python3 "$QV_HERE/stamp_log.py" "$QV_DIR/qvanto.log" --records 1 --dates "${log_dates[@]}" ||
    qv_check_failed "the log after one press is wrong"
cp "$QV_DIR/qvanto.log" "$QV_DIR/qvanto-1.log"

# Restored, the window shows the face it had, and the button works again.
qv_restore
qv_wait_for_face "$QV_DIR/window-2.png"
picture same "$QV_DIR/window-2.png" "$QV_FACE_ORIGIN" "$QV_DIR/clipboard-1.bmp" 0,0 \
    217 "$QV_FACE_VISIBLE_ROWS" ||
    qv_check_failed "the restored window does not show the stamped face"
qv_press_stamp_button
qv_wait 10 "minimised window after the second press" qv_window_is_iconic
qv_check_clipboard clipboard-2
log_dates+=("$(date +%Y.%m.%d)")
python3 "$QV_HERE/stamp_log.py" "$QV_DIR/qvanto.log" --records 2 --dates "${log_dates[@]}" \
    --keeps "$QV_DIR/qvanto-1.log" ||
    qv_check_failed "the log after two presses is wrong"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "clipboard, log and minimising as expected after two presses"
