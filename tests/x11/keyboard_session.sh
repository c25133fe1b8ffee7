#!/usr/bin/env bash
# The keyboard in a Japanese session, with real key presses: Shift+F10 on the
# focused face opens its options, whose save dialog speaks Japanese (Qt's
# own translations); Tab walks every stop to "押印", and Enter there stamps.
# In a C session the Menu key opens the same dialog, in English.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager
key() { xdotool key --clearmodifiers "$@"; }

window_is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$QV_WIN" ]; }
# Popup menus carry no name, so every visible window of the program counts.
popup_is_open() { xdotool search --all --onlyvisible --pid "$QV_PID" 2>/dev/null | grep -qvx "$QV_WIN"; }
no_other_window() { ! popup_is_open; }

# qv_open_save_dialog KEY SHOT: opens the face's options menu with KEY and
# from it the save dialog, screenshots the dialog into SHOT and closes it.
qv_open_save_dialog() {
    qv_wait 10 "active main window" window_is_active
    key "$1"
    qv_wait 10 "options menu" popup_is_open
    # The save entry is fourth from the end; the menu wraps from the top.
    key Up Up Up Up Return
    qv_wait 10 "save dialog" xdotool search --all --onlyvisible --pid "$QV_PID" --name '^名前を付けて保存$'
    local dialog
    dialog=$(xdotool search --all --onlyvisible --pid "$QV_PID" --name '^名前を付けて保存$' | head -n 1)
    sleep 0.5
    import -window "$dialog" "PNG24:$2"
    key Escape
    qv_wait 10 "closed save dialog" no_other_window
}

qv_start
qv_wait_for_face "$QV_DIR/window.png"
qv_open_save_dialog shift+F10 "$QV_DIR/save-ja.png"

# The face is the first stop; in the narrow window the rows and the first
# font field are hidden and passed over, so 8 presses pass the seven named
# colour options to the stamp button.
qv_wait 10 "active main window" window_is_active
for _ in $(seq 8); do key Tab; done
[ -f "$QV_DIR/qvanto.log" ] && qv_fail "tabbing stamped"
key Return
qv_wait 10 "minimised window after Enter on the stamp button" qv_window_is_iconic
python3 "$QV_HERE/stamp_log.py" "$QV_DIR/qvanto.log" --records 1 --dates "$(date +%Y.%m.%d)" ||
    qv_check_failed "Enter on the stamp button logged no stamp"

# In an English session the same dialog reads otherwise: the difference is
# Qt's translation.
qv_stop_program
QV_LANG=C.UTF-8 qv_start
qv_wait_for_face "$QV_DIR/window-c.png"
qv_open_save_dialog Menu "$QV_DIR/save-c.png"
# Only "they differ" (status 1) passes: 0 is the same picture, 2 one that
# could not be read, which proves nothing.
compared=0
python3 "$QV_HERE/picture.py" same "$QV_DIR/save-ja.png" 0,0 "$QV_DIR/save-c.png" 0,0 300 300 >/dev/null ||
    compared=$?
[ "$compared" -eq 1 ] || qv_check_failed "the save dialog is not shown to differ between a Japanese and a C session (picture.py status $compared)"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "options by Shift+F10, a Japanese save dialog, Tab to the stamp button and Enter"
