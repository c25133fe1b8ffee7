#!/usr/bin/env bash
# The stamp sound: "押印" plays petan.wav, found beside the program, whole on
# the session's sound server, at every press of a session; with no petan.wav the same press is silent; and
# a sound server that accepts and never answers holds up neither a stamp nor
# closing the window.
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

# Every stamp of a long session is heard, not only the first few: a player
# used again and again once fell silent after some eight sounds.
for press in $(seq 2 12); do
    qv_restore
    qv_wait_for_face "$QV_DIR/window.png"
    qv_record_start "$QV_DIR/press-$press.raw"
    qv_press_stamp_button
    qv_expect_sound "$QV_DIR/press-$press.raw" "$floor" "press $press of one session"
    qv_record_stop
done

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

# A hung sound server: each press still writes its record and minimises the
# window, the second one after the first has gone through, and the window
# closes on request; only the sound is lost.
qv_stop_program
cp "$QV_SOUND_SOURCE" "$QV_DIR/petan.wav"
qv_silent_sound_server_start "$QV_DIR/hung-server"
session_server=$PULSE_SERVER
export PULSE_SERVER=unix:$QV_DIR/hung-server
qv_start
PULSE_SERVER=$session_server
qv_wait_for_face "$QV_DIR/window.png"
records() { grep -c '^QVID:' "$QV_DIR/qvanto.log" 2>/dev/null || true; }
earlier=$(records)
for press in 1 2; do
    qv_press_stamp_button
    qv_wait 10 "stamp record $press with a hung sound server" test "$(records)" -eq $((earlier + press))
    qv_wait 10 "minimised window after press $press with a hung sound server" qv_window_is_iconic
    [ "$press" -eq 2 ] && break
    qv_restore
    qv_wait_for_face "$QV_DIR/window.png"
done
kill "$QV_PID"
for _ in $(seq 40); do kill -0 "$QV_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$QV_PID" 2>/dev/null && qv_check_failed "the program did not end on request while its sound server hangs"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "sound with petan.wav, silence without it"
