#!/usr/bin/env bash
# Heavy features are loaded on first use: the freshly started program has
# mapped none of the libraries behind sound, SVG or PDF output; the first
# approach of the mouse to "押印" brings the sound module in, which shows the
# check can see a module arrive. The window icon, drawn after the first frame, arrives.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager

# The pointer away from where the window opens: a window mapped under it
# with 押印 there would, rightly, ready the sound at once.
xdotool mousemove 0 0
qv_start
qv_wait_for_face "$QV_DIR/window.png"
qv_mapped_libraries >"$QV_DIR/maps-at-start"
for library in libqvanto_sound libqvanto_svg libqvanto_pdf libQt6Multimedia libQt6Svg libQt6Network libpulse libpoppler libpodofo; do
    if grep -q "/$library[.-]" "$QV_DIR/maps-at-start"; then
        qv_check_failed "$library is mapped at start-up: $(grep "/$library[.-]" "$QV_DIR/maps-at-start" | head -n 1)"
    fi
done
qv_note "$(wc -l <"$QV_DIR/maps-at-start") shared objects mapped at start-up"
# The window icon is drawn once the window is up, not before.
window_has_icon() { xprop -id "$QV_WIN" _NET_WM_ICON | grep -q '='; }
qv_poll 10 window_has_icon || qv_check_failed "the window has no icon after its first frame"

# The mouse over 押印 readies the sound before any stamp, so the first one
# does not wait for the module.
sound_module_is_mapped() { qv_mapped_libraries | grep -q '/libqvanto_sound\.'; }
sound_module_is_mapped && qv_check_failed "the sound module is mapped before the mouse came near 押印"
xdotool mousemove --window "$QV_WIN" 90 278
qv_poll 10 sound_module_is_mapped || qv_check_failed "the sound module is not mapped with the mouse over 押印"
[ -s "$QV_DIR/qvanto.log" ] && qv_check_failed "a stamp was made by the mouse coming near"
qv_press_stamp_button
qv_wait 10 "stamp record" test -s "$QV_DIR/qvanto.log"

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "sound, SVG and PDF libraries loaded on first use only"
