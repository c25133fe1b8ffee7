#!/usr/bin/env bash
# The stamp options as another program sees them: at 3x with a transparent
# background, the clipboard's PNG is the ink alone at three times the pixels,
# and its bitmap the same face on white; with a stamp size of 24 mm both
# carry the resolution at which the circle measures 24 mm.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager
picture() { python3 "$QV_HERE/picture.py" "$@"; }
alpha_at() { convert "$1" -crop "1x1+$2+$3" -format '%[fx:int(255*a)]' info:; }

printf 'stampmm, 24 \r\n' >"$QV_DIR/qvanto.ini"
qv_start
qv_wait_for_face "$QV_DIR/window.png"
timeout 10 xdotool windowactivate --sync "$QV_WIN" >/dev/null 2>&1 || true
xdotool key --clearmodifiers ctrl+3 ctrl+t
qv_press_stamp_button
qv_wait 10 "minimised window" qv_window_is_iconic

qv_clipboard image/png "$QV_DIR/stamp.png" || qv_fail "no PNG on the clipboard"
qv_clipboard image/bmp "$QV_DIR/stamp.bmp" || qv_fail "no bitmap on the clipboard"
for file in stamp.png stamp.bmp; do
    size=$(picture size "$QV_DIR/$file")
    [ "$size" = 651x651 ] || qv_check_failed "$file is $size, not 651x651"
    # The circle is 640 pixels across at 3x.
    mm=$(python3 -c "import sys; print(round(640 / int(sys.argv[1]) * 1000, 2))" "$(picture resolution "$QV_DIR/$file")")
    [ "$mm" = 24.0 ] || qv_check_failed "$file's circle measures $mm mm, not 24"
done
[ "$(alpha_at "$QV_DIR/stamp.png" 0 0)" = 0 ] || qv_check_failed "the PNG's corner is not transparent"
[ "$(alpha_at "$QV_DIR/stamp.png" 325 260)" = 255 ] || [ "$(alpha_at "$QV_DIR/stamp.png" 325 261)" = 255 ] ||
    qv_check_failed "the PNG's upper band line is not solid ink"
[ "$(convert "$QV_DIR/stamp.bmp" -crop 1x1+0+0 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:)" = 255,255,255 ] ||
    qv_check_failed "the bitmap's background is not white"
# On white paper the two are the same stamp.
picture same "$QV_DIR/stamp.bmp" 0,0 "$QV_DIR/stamp.png" 0,0 651 651 --tolerance 3 ||
    qv_check_failed "the PNG on white is not the bitmap"
# The finer picture, shrunk, is the face the window shows.
convert "$QV_DIR/stamp.bmp" -filter box -resize 217x217 "PNG24:$QV_DIR/shrunk.png"
picture face "$QV_DIR/shrunk.png" --origin 0,0 --rows 217 || qv_check_failed "the 3x picture is not the stamp face"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "3x transparent PNG and white bitmap on the clipboard"
