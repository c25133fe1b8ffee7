#!/usr/bin/env bash
# Numbers never repeat, whatever stamps them and however many at once: ten
# `stamp-pdf` runs together in one frozen second, the window's stamp button
# and the command in that same second, the clock set back an hour. Every
# number is distinct in the log and every record whole. A log that another
# process keeps locked gives a refusal (status 2) or "error" after about two
# seconds, never a hang.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
qv_require_window_manager
command -v flock >/dev/null || qv_fail "flock (util-linux) is not installed"
faketime_lib=$(compgen -G '/usr/lib/*/faketime/libfaketime.so.1' | head -n 1) ||
    qv_fail "libfaketime is not installed"
cp "$(dirname "$QV_PROGRAM")/libqvanto_pdf.so" "$QV_DIR/"
cd "$QV_DIR"
qv_blank_pdf in.pdf

# An absolute FAKETIME freezes the wall clock there; the monotonic clock,
# which timers and bounded waits read, keeps running.
SECOND='2026-12-07 10:00:00'
frozen_env() {
    echo "LD_PRELOAD=$faketime_lib"
    echo "FAKETIME=$1"
    echo "FAKETIME_DONT_FAKE_MONOTONIC=1"
    # A sanitizer build wants its runtime loaded first; the preload is ours.
    # The leak check's tracer can crash on the preloaded clock at exit, which
    # says nothing of the program: leaks are checked by the runs without it.
    echo "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0:detect_leaks=0"
}
# frozen_at TIME COMMAND...
frozen_at() {
    local when=$1
    shift
    mapfile -t vars < <(frozen_env "$when")
    env "${vars[@]}" "$@"
}
first=$(frozen_at "$SECOND" date +%s.%N)
sleep 1.1
second=$(frozen_at "$SECOND" date +%s.%N)
[ "$first" = "$second" ] || qv_fail "faketime does not freeze the clock ($first, then $second)"

# stamp_pdf NAME TIME: one command run in the background; its number,
# messages and status land in NAME.*.
stamp_pdf() {
    (
        status=0
        DISPLAY='' frozen_at "$2" ./qvanto stamp-pdf in.pdf "$1.pdf" --page 1 --x 100 --y 100 \
            >"$1.number" 2>"$1.err" || status=$?
        echo "$status" >"$1.status"
    ) &
}
# expect_stamped NAME: the run ended with status 0 and printed a number.
expect_stamped() {
    [ "$(cat "$1.status")" = 0 ] || qv_check_failed "$1: status $(cat "$1.status"): $(cat "$1.err")"
    grep -qE '^[0-9A-Z]{8}$' "$1.number" || qv_check_failed "$1 printed '$(cat "$1.number")'"
}
records() { grep -c '^QVID:' qvanto.log || true; }
has_records() { [ "$(records)" -eq "$1" ]; }

qv_note "ten stamp-pdf runs at once in one frozen second"
pids=()
for i in $(seq 1 10); do
    stamp_pdf "run$i" "$SECOND"
    pids+=($!)
done
for pid in "${pids[@]}"; do
    timeout 60 tail --pid="$pid" -f /dev/null || qv_fail "a stamp-pdf run did not end within 60 s"
done
for i in $(seq 1 10); do expect_stamped "run$i"; done
[ "$(records)" -eq 10 ] || qv_check_failed "$(records) records after ten runs"

qv_note "the window's stamp button and the command in that same second"
QV_ENV=()
mapfile -t QV_ENV < <(frozen_env "$SECOND")
qv_start
qv_wait_for_face "$QV_DIR/window.png"
qv_press_stamp_button
qv_wait 10 "a record of the stamp button" has_records 11
qv_wait 10 "minimised window" qv_window_is_iconic
stamp_pdf between "$SECOND"
wait $!
expect_stamped between
qv_restore
qv_wait_for_face "$QV_DIR/window-restored.png"
qv_press_stamp_button
qv_wait 10 "a record of the second press" has_records 13
qv_wait 10 "minimised window" qv_window_is_iconic

qv_note "the clock set back an hour"
for i in 1 2 3; do
    stamp_pdf "back$i" '2026-12-07 09:00:00'
    wait $!
    expect_stamped "back$i"
done

qv_note "a log that another process keeps locked"
flock --no-fork qvanto.log sleep 60 &
holder=$!
qv_wait 5 "the lock taken by flock" bash -c '! flock -n qvanto.log true'
cp qvanto.log log-before
started=$(date +%s%N)
stamp_pdf locked "$SECOND"
if ! timeout 20 tail --pid=$! -f /dev/null; then
    qv_fail "stamp-pdf waited more than 20 s for a locked log"
fi
waited_ms=$((($(date +%s%N) - started) / 1000000))
[ "$(cat locked.status)" = 2 ] || qv_check_failed "a locked log: status $(cat locked.status), not 2"
[ -s locked.err ] || qv_check_failed "a locked log: no message"
[ ! -s locked.number ] || qv_check_failed "a locked log: a number was printed"
[ ! -e locked.pdf ] || qv_check_failed "a locked log: an output was written"
((waited_ms >= 1500 && waited_ms < 15000)) || qv_check_failed "a locked log: gave up after $waited_ms ms"
qv_restore
qv_wait_for_face "$QV_DIR/window-locked.png"
qv_press_stamp_button
qv_close_message_box "the message box of a locked log" error
qv_stop_pid "$holder"
cmp -s log-before qvanto.log || qv_check_failed "the locked log was changed"
left=$(find . -maxdepth 1 -name '.*qvanto-tmp-*' | wc -l)
[ "$left" -eq 0 ] || qv_check_failed "$left temporary files left beside the outputs"

# Every record whole (three CR LF lines), every number distinct, each one
# greater than the one before: they were issued one at a time.
python3 - qvanto.log <<'PY' || qv_check_failed "the log's records are not whole and distinct"
import re, sys
text = open(sys.argv[1], "rb").read().decode("utf-8")
records = text.split("\r\n\r\n")
assert records[-1] == "", "the log does not end with a whole record"
numbers = []
for record in records[:-1]:
    first, rows = record.split("\r\n")
    match = re.fullmatch(r"QVID:([0-9A-Z]{8}),\d{4}/\d\d/\d\d \d\d:\d\d:\d\d ", first)
    assert match and rows.startswith("    "), repr(record)
    numbers.append(match.group(1))
assert len(numbers) == 16, f"{len(numbers)} records, not 16"
assert len(set(numbers)) == len(numbers), f"repeated: {sorted(numbers)}"
assert numbers == sorted(numbers), f"out of order: {numbers}"
PY
for name in run{1..10} between back{1..3}; do
    grep -q "^QVID:$(cat "$name.number")," qvanto.log || qv_check_failed "$name's number is not in the log"
done

[ "$QV_ERRORS" -eq 0 ] || exit 1
qv_note "$(records) records, every number distinct; a locked log refused after $waited_ms ms"
