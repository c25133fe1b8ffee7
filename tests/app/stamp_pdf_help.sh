#!/usr/bin/env bash
# stamp-pdf's help and the manual page: the help needs no display, names
# every option with an example and exits 0; the manual page renders without
# a warning in a Japanese and in a plain session and describes every option
# the help names; with a terminal, --out-dir shows its progress there.
set -euo pipefail
program=$1
man_page=$2
dir=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-help.XXXXXX")
trap 'rm -rf "$dir"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

run() {
    status=0
    (cd "$dir" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL \
        LANG=ja_JP.UTF-8 HOME="$dir" timeout 20 "$program" "$@") >"$dir/out" 2>"$dir/err" || status=$?
}

options="--page --pages --x --y --size --out-dir --sign --tsa --help"
for help in --help -h; do
    run stamp-pdf "$help"
    [ "$status" -eq 0 ] || fail "stamp-pdf $help: status $status: $(head -c 300 "$dir/err")"
    [ ! -s "$dir/err" ] || fail "stamp-pdf $help wrote on stderr: $(head -c 300 "$dir/err")"
    for option in $options; do
        grep -q -- "$option " "$dir/out" || fail "stamp-pdf $help does not name $option"
    done
    grep -q '^  qvanto stamp-pdf .*--x' "$dir/out" || fail "stamp-pdf $help gives no example"
done
# Help comes before any other judgement of the arguments.
run stamp-pdf a.pdf --size 99 --help
[ "$status" -eq 0 ] || fail "help among other arguments: status $status"

run --help
for option in --pages --out-dir; do
    grep -q -- "$option" "$dir/out" || fail "qvanto --help does not name $option"
done

command -v groff >/dev/null || fail "groff is not installed"
command -v man >/dev/null || fail "man is not installed"
warnings=$(groff -man -ww -z "$man_page" 2>&1) || fail "groff fails on the manual page"
[ -z "$warnings" ] || fail "groff warns: $warnings"
for lang in ja_JP.UTF-8 C; do
    warnings=$(env -u LC_ALL LANG=$lang MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >"$dir/man") ||
        fail "man fails on the manual page ($lang)"
    [ -z "$warnings" ] || fail "man warns ($lang): $warnings"
    for option in $options --version; do
        grep -q -- "$option" "$dir/man" || fail "the manual page ($lang) does not describe $option"
    done
done

# A terminal on standard error: each input named as it comes, numbers on
# standard output only. Without one (every run above) no progress is shown.
if command -v script >/dev/null; then
    printf '%%PDF-1.4\n' >"$dir/a.pdf"
    mkdir "$dir/outdir"
    script -qec "cd '$dir' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME='$dir' \
        '$program' stamp-pdf --out-dir outdir --page 1 --x 50 --y 50 a.pdf" "$dir/typescript" >/dev/null || true
    grep -q '(1/1) a.pdf' "$dir/typescript" || fail "no progress on a terminal: $(head -c 300 "$dir/typescript")"
else
    fail "script (util-linux) is not installed"
fi

[ "$failures" -eq 0 ] || exit 1
echo "stamp-pdf help and manual page checked"
