#!/usr/bin/env bash
# One running copy per folder of settings and log: a second start on the
# same folder shows the running copy's window and ends; a copy on another
# folder runs beside it; a copy that was killed does not keep its folder.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager

qv_start
qv_wait_for_face "$QV_DIR/window.png"
qv_press_stamp_button
qv_wait 10 "minimised window after the press" qv_window_is_iconic
first=$QV_PID

# The second start ends by itself, with status 0, and brings the first
# copy's window back instead of opening one of its own.
status=0
(cd "$QV_DIR" && exec timeout 20 ./qvanto) >>"$QV_DIR/second.out" 2>&1 || status=$?
[ "$status" -eq 0 ] || qv_check_failed "the second start ended with status $status, not 0"
qv_wait 10 "the running copy's window shown again" qv_window_is_normal
windows=$(xdotool search --all --onlyvisible --name "^$QV_CAPTION\$" 2>/dev/null | wc -l)
[ "$windows" -eq 1 ] || qv_check_failed "$windows windows are open, not one"
qv_restore # in front for the click; it was already shown
qv_wait_for_face "$QV_DIR/window-shown-again.png"
qv_press_stamp_button
qv_wait 10 "minimised window after the second press" qv_window_is_iconic
[ "$(grep -c '^QVID:' "$QV_DIR/qvanto.log")" -eq 2 ] || qv_check_failed "the log does not hold two records"

# Another folder is another copy's own.
other=$QV_DIR/other
mkdir "$other"
cp "$QV_DIR/qvanto" "$other/qvanto"
(cd "$other" && exec ./qvanto) >>"$QV_DIR/program.out" 2>&1 &
other_pid=$!
other_window() { xdotool search --all --onlyvisible --pid "$other_pid" --name "^$QV_CAPTION\$"; }
qv_poll 20 other_window || qv_check_failed "a copy on another folder did not open its window"
qv_stop_pid "$other_pid"

# A killed copy leaves its lock and socket behind; the next start takes them.
kill -KILL "$first"
wait "$first" 2>/dev/null || true
QV_PID=
qv_start
qv_wait_for_face "$QV_DIR/window-after-kill.png"

# A normal run says nothing: no Qt warning on either start.
for out in second.out program.out; do
    [ ! -s "$QV_DIR/$out" ] || qv_check_failed "$out is not empty: $(head -c 500 "$QV_DIR/$out")"
done

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "a second start showed the first copy's window; another folder and a killed copy's folder started"
