#!/usr/bin/env bash
# A session that ends the program (SIGTERM at logout or shutdown) closes its
# window as the user would: the settings are saved and the program ends
# normally.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"

qv_start
qv_wait_for_face "$QV_DIR/window.png"
xdotool mousemove --window "$QV_WIN" 115 245 click 1 # colour option "青"
sleep 0.3
pid=$QV_PID
kill -TERM "$pid"
tries=100
while kill -0 "$pid" 2>/dev/null; do
    ((tries-- > 0)) || qv_fail "the program did not end on SIGTERM"
    sleep 0.1
done
status=0
wait "$pid" || status=$?
QV_PID=
[ "$status" -eq 0 ] || qv_check_failed "the program ended with status $status, not 0"
grep -q $'^color, 16711680 \r$' "$QV_DIR/qvanto.ini" 2>/dev/null ||
    qv_check_failed "qvanto.ini does not hold the colour chosen before SIGTERM"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "SIGTERM saved the settings and ended the program normally"
