#!/usr/bin/env bash
# What the user sets survives a restart: a changed row, a typed face name, a
# colour and the identification-number switch are written to qvanto.ini when
# the window is closed, and the next start shows them.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager

# Client coordinates (px) of the controls used, from the window's layout.
click() { xdotool mousemove --window "$QV_WIN" "$1" "$2" click "${3:-1}"; }
widen() { click 203 278; }                      # "(C)"
row0() { click 360 23; }                        # company row text box
font2() { click 480 80; }                       # face name of the name row
blue() { click 115 245; }                       # colour option "青"
id_switch() { click 296 140; }                  # "押印識別番号をつける"
pixel() { convert "$1" -crop "1x1+$2+$3" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:; }

# Closing as the user does: the window manager asks the window to close.
close_window() {
    xdotool windowactivate --sync "$QV_WIN" >/dev/null 2>&1 || true
    xdotool key --clearmodifiers alt+F4
    local tries=200
    while kill -0 "$QV_PID" 2>/dev/null; do
        ((tries-- > 0)) || qv_fail "the program did not end when its window was closed"
        sleep 0.1
    done
    wait "$QV_PID" 2>/dev/null || true
    QV_PID=
}

qv_start
qv_wait_for_face "$QV_DIR/before.png"
widen
qv_wait 10 "wide window" bash -c "xwininfo -id $QV_WIN | grep -q 'Width: 594'"
row0
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 'ACME, Ltd'
font2
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 'IPAMincho'
blue
id_switch
sleep 0.5
close_window

ini=$QV_DIR/qvanto.ini
[ -f "$ini" ] || qv_fail "no qvanto.ini after closing the window"
expected=$(printf 'label0,ACME, Ltd,ＭＳ Ｐゴシック\r\nlabel1,部課係名,ＭＳ Ｐゴシック\r\nlabel2,氏    名,IPAMincho\r\nlabel3,%s,ＭＳ Ｐゴシック\r\ncolor, 16711680 \r\nqvid, 1 \r\n' \
    "$(date +%Y.%m.%d)")
[ "$(cat "$ini")" = "$expected" ] || {
    echo "-- qvanto.ini:" >&2
    cat -A "$ini" >&2
    qv_check_failed "qvanto.ini does not hold what was set"
}
cp "$ini" "$QV_DIR/qvanto-1.ini"

# The comma in the row splits it on loading ("ACME" and the face name "Ltd"),
# as the file has always been read; the rest comes back as it was set.
qv_start
qv_wait 10 "face drawn in blue" bash -c "import -window $QV_WIN PNG24:$QV_DIR/after.png 2>/dev/null && \
    [ \"\$(convert $QV_DIR/after.png -crop 1x1+60+94 -format '%[fx:int(255*b)]' info:)\" -ge 200 ]"
band=$(pixel "$QV_DIR/after.png" 60 94)
[ "$band" = 0,0,255 ] || qv_check_failed "the upper band line is $band, not blue"
# The identification row is on the face: ink below the name row.
ink=$(convert "$QV_DIR/after.png" -crop 120x14+55+183 -fill white -fuzz 10% +opaque blue -format '%[fx:int(w*h*(1-mean))]' info:)
[ "${ink:-0}" -gt 20 ] || qv_check_failed "no ink where the identification number belongs ($ink)"
close_window
cmp -s "$ini" "$QV_DIR/qvanto-1.ini" && qv_check_failed "the second close should store the split row"
grep -q '^label0,ACME,Ltd' "$ini" || qv_check_failed "the reloaded row is not ACME with face Ltd"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "row, face name, colour and switch kept across a restart"
