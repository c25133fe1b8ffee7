#!/usr/bin/env bash
# Saved stamps on the command line: stamp-pdf --stamp NAME stamps the saved
# stamp of that name, in its own kind (looked for in the page drawn); an
# unknown or impossible name is refused with a message and status 2, takes
# no number and writes nothing; the default settings file is never touched.
set -euo pipefail
# shellcheck source=../support/blank_pdf.sh
. "$(dirname "$0")/../support/blank_pdf.sh"
program=$1
dir=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-stamps.XXXXXX")
trap 'rm -rf "$dir"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

build=$(cd "$(dirname "$program")" && pwd)
mkdir -m 700 "$dir/own" "$dir/own/stamps"
cp "$program" "$build"/libqvanto_*.so "$dir/own/"
blank_pdf "$dir/in.pdf"
printf 'label0,株式会社山田商事,IPAmj明朝\r\nlabel1,之印,IPAmj明朝\r\nlabel2,山田,IPAmj明朝\r\nlabel3,2026.12.07,IPAmj明朝\r\ncolor,255\r\nqvid,0\r\n' \
    >"$dir/own/qvanto.ini"
for kind in 1 2 3; do
    { cat "$dir/own/qvanto.ini"; printf 'kind, %s \r\n' "$kind"; } >"$dir/own/stamps/kind$kind.ini"
done
cp "$dir/own/qvanto.ini" "$dir/default.ini"

run() {
    status=0
    (cd "$dir/own" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL \
        LANG=ja_JP.UTF-8 timeout 20 ./qvanto "$@") >"$dir/out" 2>"$dir/err" || status=$?
}
records() { grep -c '^QVID:' "$dir/own/qvanto.log" 2>/dev/null || true; }

# inked X Y: whether the page drawn at 144 dpi is red at millimetres X, Y.
inked() {
    python3 - "$dir/page.ppm" "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
fields = data.split(maxsplit=4)
width, pixels = int(fields[1]), fields[4]
x, y = (round(float(v) / 25.4 * 144) for v in sys.argv[2:4])
r, g, b = pixels[3 * (y * width + x):3 * (y * width + x) + 3]
sys.exit(0 if r > 128 and g < 100 and b < 100 else 1)
PY
}

# kind|points inked "x,y"|points blank, about a centre at 100, 100 mm.
while IFS='|' read -r kind inkedAt blankAt; do
    run stamp-pdf ../in.pdf "../out$kind.pdf" --page 1 --x 100 --y 100 --stamp "kind$kind"
    [ "$status" -eq 0 ] || { fail "kind $kind: status $status: $(cat "$dir/err")"; continue; }
    pdftoppm -r 144 -f 1 -l 1 "$dir/out$kind.pdf" >"$dir/page.ppm"
    for point in $inkedAt; do
        inked "${point%,*}" "${point#*,}" || fail "kind $kind: no ink at $point"
    done
    for point in $blankAt; do
        ! inked "${point%,*}" "${point#*,}" || fail "kind $kind: ink at $point"
    done
done <<'TABLE'
1|88.2,88.2 111.8,111.8 88.2,111.8 111.8,88.2|
2|100,94.2 94.2,100|104.6,104.6 95,98.8 95,101.2
3|100,91.2 100,105.45 100,94.55|100,107.1 93.3,93.3
TABLE
[ "$(records)" = 3 ] || fail "three stamps, $(records) records"

for name in nobody ../qvanto .hidden; do
    run stamp-pdf ../in.pdf ../refused.pdf --page 1 --x 100 --y 100 --stamp "$name"
    [ "$status" -eq 2 ] || fail "--stamp $name: status $status"
    grep -q "$name" "$dir/err" || fail "--stamp $name: the message does not name it: $(cat "$dir/err")"
    [ ! -e "$dir/refused.pdf" ] || fail "--stamp $name wrote the output"
done
[ "$(records)" = 3 ] || fail "a refused name took a number"
cmp -s "$dir/own/qvanto.ini" "$dir/default.ini" || fail "the default settings file changed"

[ "$failures" -eq 0 ] || exit 1
echo "saved stamps: all passed"
