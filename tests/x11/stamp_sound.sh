#!/usr/bin/env bash
# The stamp sound: "押印" plays petan.wav, found beside the program, whole on
# the session's sound server; with no petan.wav the same press is silent.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_sound
qv_require_window_manager
floor=$(qv_stamp_sound_floor)

qv_start
qv_wait_for_face "$QV_DIR/window.png"
qv_record_start "$QV_DIR/with-sound.raw"
qv_press_stamp_button
qv_expect_sound "$QV_DIR/with-sound.raw" "$floor" "press with petan.wav"
qv_record_stop

# The same press with petan.wav gone from the program's folder, which is also
# its working folder, and from every data folder it searches.
qv_stop_program
rm "$QV_DIR/petan.wav"
[ -z "$(find "$QV_DIR" -name petan.wav)" ] || qv_fail "a petan.wav is still within reach"
qv_start
qv_wait_for_face "$QV_DIR/window.png"
qv_record_start "$QV_DIR/without-sound.raw"
qv_press_stamp_button
# The window is minimised after the sound call, so the call has been made;
# a sound would reach the monitor well within the watch that follows.
qv_wait 10 "minimised window after the press" qv_window_is_iconic
qv_expect_silence 3 "$QV_DIR/without-sound.raw" "press without petan.wav"
qv_record_stop

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "sound with petan.wav, silence without it"
