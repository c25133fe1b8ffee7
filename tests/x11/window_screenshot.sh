#!/usr/bin/env bash
# The window as the user sees it at start-up in a Japanese session: its
# caption, and the stamp face with its circle and band lines in red on white
# at their places; the same settings draw the same face in a C session.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
# Faces named in English, in Japanese and by their Windows names: the
# session's language decides which name fontconfig lists first.
printf 'label0,会 社 名,IPAMincho\r\nlabel1,部課係名,IPA P明朝\r\nlabel2,氏    名,ＭＳ Ｐゴシック\r\n' \
    >"$QV_DIR/qvanto.ini"
qv_start

caption=$(qv_window_caption "$QV_WIN")
[ "$caption" = "$QV_CAPTION" ] || qv_check_failed "caption is '$caption', not '$QV_CAPTION'"

qv_wait_for_face "$QV_DIR/window.png"

# The window keeps its narrow width until the user widens it.
geometry=$(xwininfo -id "$QV_WIN" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$geometry" = 234x302 ] || qv_check_failed "client area is $geometry, not 234x302"

qv_stop_program
QV_LANG=C.UTF-8 qv_start
qv_wait_for_face "$QV_DIR/window-c.png"
python3 "$QV_HERE/picture.py" same "$QV_DIR/window.png" "$QV_FACE_ORIGIN" "$QV_DIR/window-c.png" \
    "$QV_FACE_ORIGIN" 217 "$QV_FACE_VISIBLE_ROWS" ||
    qv_check_failed "the face in a C session differs from the face in a Japanese session"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "caption, size and face as expected, the same face in a C session"
