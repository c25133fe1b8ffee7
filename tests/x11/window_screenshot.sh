#!/usr/bin/env bash
# The window as the user sees it at start-up: its caption, and the stamp face
# with its circle and band lines in red on white at their places.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_start

caption=$(qv_window_caption "$QV_WIN")
[ "$caption" = "$QV_CAPTION" ] || qv_check_failed "caption is '$caption', not '$QV_CAPTION'"

qv_wait_for_face "$QV_DIR/window.png"

# The window keeps its narrow width until the user widens it.
geometry=$(xwininfo -id "$QV_WIN" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$geometry" = 234x302 ] || qv_check_failed "client area is $geometry, not 234x302"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "caption, size and face as expected"
