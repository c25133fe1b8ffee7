#!/usr/bin/env bash
# The command line's manners, with no display at all: a mistake prints the
# usage on standard error and ends at once with status 2, never a window;
# help and version need no display; the window without one says so in one
# line (status 1); a stamp-pdf run prints nothing but its number. Modules
# are loaded only from beside the program, when no one else can write there.
set -euo pipefail
# shellcheck source=../support/blank_pdf.sh
. "$(dirname "$0")/../support/blank_pdf.sh"
program=$1
dir=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-cli.XXXXXX")
trap 'rm -rf "$dir"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A copy with its modules beside it, in a folder of its own.
build=$(cd "$(dirname "$program")" && pwd)
mkdir -m 700 "$dir/own"
cp "$program" "$build"/libqvanto_*.so "$dir/own/"

# run ARGS...: the program without a display, in a Japanese session, for at
# most 20 s (timeout's 124 then shows as the status).
run() {
    status=0
    (cd "$dir/own" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR -u LC_ALL \
        LANG=ja_JP.UTF-8 timeout 20 "$@") >"$dir/out" 2>"$dir/err" || status=$?
}

# Arguments, status, and the stream that carries the usage.
while IFS='|' read -r arguments expected stream; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    run ./qvanto $arguments
    [ "$status" -eq "$expected" ] || fail "'$arguments': status $status, not $expected"
    quiet=out
    [ "$stream" = out ] && quiet=err
    grep -q '使い方' "$dir/$stream" || fail "'$arguments': no usage on std$stream"
    [ ! -s "$dir/$quiet" ] || fail "'$arguments': std$quiet not empty: $(head -c 300 "$dir/$quiet")"
done <<'TABLE'
sign x.pdf|2|err
--bogus|2|err
-platform offscreen|2|err
stamp|2|err
--help|0|out
-h|0|out
TABLE

run ./qvanto --version
if [ "$status" -ne 0 ] || [ "$(cat "$dir/out")" != "qvanto 1.1.9" ] || [ -s "$dir/err" ]; then
    fail "--version: status $status, printed '$(cat "$dir/out" "$dir/err")'"
fi

run ./qvanto
[ "$status" -eq 1 ] || fail "the window without a display: status $status, not 1"
if [ "$(wc -l <"$dir/err")" -ne 1 ] || [ -s "$dir/out" ]; then
    fail "the window without a display printed: $(cat "$dir/out" "$dir/err")"
fi

blank_pdf "$dir/in.pdf" || fail "could not write the blank PDF"

run ./qvanto stamp-pdf ../in.pdf ../out.pdf --page 1 --x 100 --y 100
[ "$status" -eq 0 ] || fail "stamp-pdf: status $status: $(cat "$dir/err")"
[ ! -s "$dir/err" ] || fail "stamp-pdf printed on standard error: $(cat "$dir/err")"

# A copy moved away from the build finds no module where it was built.
mkdir -m 700 "$dir/moved"
cp "$program" "$dir/moved/"
status=0
(cd "$dir/moved" && env -u DISPLAY timeout 20 ./qvanto stamp-pdf ../in.pdf ../moved.pdf --page 1 --x 100 --y 100) \
    >"$dir/out" 2>"$dir/err" || status=$?
[ "$status" -eq 2 ] || fail "a moved copy without modules: status $status, not 2"
grep -q 'libqvanto_pdf' "$dir/err" || fail "a moved copy without modules: $(cat "$dir/err")"
! grep -qF "$build" "$dir/err" || fail "a moved copy looked in its build folder: $(cat "$dir/err")"

# A module beside a copy in a folder others can write is not loaded.
mkdir -m 777 "$dir/open"
cp "$program" "$build"/libqvanto_*.so "$dir/open/"
status=0
(cd "$dir/open" && env -u DISPLAY XDG_DATA_HOME="$dir/own" timeout 20 ./qvanto stamp-pdf ../in.pdf ../open.pdf \
    --page 1 --x 100 --y 100) >"$dir/out" 2>"$dir/err" || status=$?
[ "$status" -eq 2 ] || fail "a module in an open folder: status $status, not 2"
grep -q 'others can write' "$dir/err" || fail "a module in an open folder: $(cat "$dir/err")"
[ ! -e "$dir/open.pdf" ] || fail "a module in an open folder stamped the PDF"

[ "$failures" -eq 0 ]
