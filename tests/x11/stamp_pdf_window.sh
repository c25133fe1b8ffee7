#!/usr/bin/env bash
# The page view of the real program driven by the keyboard alone, at the
# screen's own scale and at twice it: Ctrl+P and the PDF's name open it, the
# arrow keys and Enter place the stamp, Ctrl+S and Enter save the copy
# beside the input; the notice names it, and the copy holds one stamp whose
# number is in the log.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$1"
qv_require_window_manager
blank_pdf "$QV_DIR/ringi.pdf" || qv_fail "could not write the test PDF"

window_named() {
    xdotool search --all --onlyvisible --pid "$QV_PID" --name "$1" 2>/dev/null | head -n 1 | grep .
}

for scale in 1 2; do
    qv_note "scale $scale"
    QV_ENV=(QT_SCALE_FACTOR=$scale)
    rm -f "$QV_DIR/ringi_押印.pdf"
    qv_start
    xdotool windowactivate --sync "$QV_WIN" >/dev/null 2>&1 || true
    xdotool key --clearmodifiers ctrl+p
    qv_wait 10 "file dialog" window_named '^PDF に押印$'
    xdotool type --delay 10 "$QV_DIR/ringi.pdf"
    xdotool key --clearmodifiers Return
    qv_wait 20 "page view" window_named '^PDF に押印 — ringi.pdf$'
    sleep 1 # the page is drawn
    xdotool key --clearmodifiers Right Right Return
    xdotool key --clearmodifiers ctrl+s
    qv_wait 10 "save dialog" window_named '^押印した PDF を保存$'
    xdotool key --clearmodifiers Return
    qv_wait 30 "notice of the saved copy" window_named '^押印しました$'
    [ -f "$QV_DIR/ringi_押印.pdf" ] || qv_check_failed "no stamped copy at scale $scale"
    found=$(cd "$QV_DIR" && LANG=ja_JP.UTF-8 ./qvanto lookup ringi_押印.pdf 2>&1) ||
        qv_check_failed "the copy's stamp is not in the log at scale $scale: $found"
    [ "$(grep -c '^1 ページ .*ログにあり' <<<"$found")" = 1 ] || qv_check_failed "not one stamp on page 1: $found"
    qv_stop_program
done
((QV_ERRORS == 0)) || qv_fail "$QV_ERRORS checks failed"
echo "PASS"
