#!/usr/bin/env bash
# A log that cannot be written: the stamp button shows the message box
# "error" (its text read as the user reads it), and only when the user has closed it plays the sound and
# minimises the window; the picture is on the clipboard all the same.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager
qv_require_sound
floor=$(qv_stamp_sound_floor)
# Root may write to a read-only file, so a folder takes the log's place:
# opening that for appending fails for every user.
mkdir "$QV_DIR/qvanto.log"

qv_start
qv_wait_for_face "$QV_DIR/window.png"
qv_record_start "$QV_DIR/until-closed.raw"
qv_press_stamp_button
qv_wait 10 "message box after the press" qv_has_other_window
box=$(qv_other_windows | head -n 1)

title=$(qv_window_caption "$box")
[ "$title" = "$QV_TITLE" ] || qv_check_failed "the message box is titled '$title', not '$QV_TITLE'"
text=$(qv_message_box_text "$box") || text="(none could be selected)"
[ "$text" = error ] || qv_check_failed "the message box says '$text', not 'error'"
xprop -id "$box" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG ||
    qv_check_failed "the message box is no dialog: $(xprop -id "$box" _NET_WM_WINDOW_TYPE)"
xprop -id "$box" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL ||
    qv_check_failed "the message box is not modal: $(xprop -id "$box" _NET_WM_STATE)"
# The picture went to the clipboard before the log was tried.
qv_check_clipboard clipboard-open
# While the box is open the action waits: the window stays, nothing plays.
state=$(qv_window_state "$QV_WIN")
[ "$state" = Normal ] || qv_check_failed "the window is '$state' while the message box is open"
qv_expect_silence 1 "$QV_DIR/until-closed.raw" "message box open"
qv_record_stop

# Return presses the box's OK button, as a user would.
qv_record_start "$QV_DIR/after-closed.raw"
timeout 10 xdotool windowactivate --sync "$box" >/dev/null 2>&1 || true
xdotool key --clearmodifiers Return
qv_wait 10 "closed message box" qv_window_is_gone "$box"
qv_wait 10 "minimised window after the message box" qv_window_is_iconic
qv_expect_sound "$QV_DIR/after-closed.raw" "$floor" "message box closed"
qv_record_stop

qv_check_clipboard clipboard-closed
if [ ! -d "$QV_DIR/qvanto.log" ] || [ -n "$(ls -A "$QV_DIR/qvanto.log")" ]; then
    qv_check_failed "the folder in the log's place was changed"
fi

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "message box, then sound and minimising; picture on the clipboard"
