#!/usr/bin/env bash
# The installed shape of `qvanto stamp-pdf`: the program with its PDF module
# beside it, run with a display and without one. Either way no window opens,
# the number goes to standard output and the log; a refusal exits 2.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
qv_init "$@"
command -v qpdf >/dev/null || qv_fail "qpdf is not installed"
cd "$QV_DIR"
qv_blank_pdf in.pdf

for display in "$DISPLAY" ""; do
    rm -f out.pdf
    status=0
    number=$(DISPLAY=$display ./qvanto stamp-pdf in.pdf out.pdf --page 1 --x 150 --y 40 2>>program.out) ||
        status=$?
    [ "$status" -eq 0 ] || qv_check_failed "status $status with DISPLAY='$display'"
    [[ "$number" =~ ^[0-9A-Z]{8}$ ]] || qv_check_failed "printed '$number', not a stamp number"
    grep -q "^QVID:$number," qvanto.log || qv_check_failed "$number is not in the log"
    grep -qa "$number" out.pdf || qv_check_failed "$number is not in the PDF"
done

status=0
DISPLAY='' ./qvanto stamp-pdf in.pdf in.pdf --page 1 --x 150 --y 40 >refused.out 2>refused.err || status=$?
[ "$status" -eq 2 ] || qv_check_failed "writing over the input: status $status, not 2"
[ -s refused.err ] || qv_check_failed "writing over the input: no message"
[ ! -s refused.out ] || qv_check_failed "writing over the input printed a number"
[ "$(grep -c '^QVID:' qvanto.log)" -eq 2 ] || qv_check_failed "the refusal was logged"
[ "$QV_ERRORS" -eq 0 ]
