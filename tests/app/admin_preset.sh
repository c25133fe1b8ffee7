#!/usr/bin/env bash
# An administrator's preset as a second user sees it: a copy of the program
# in a folder only root can write, with root's qvanto.ini beside it, starts a
# user who has no settings yet from that file's rows (the stamp log records
# the rows stamped), the user's own settings win once they exist, a preset
# others may write is passed over, and the preset is never written.
set -euo pipefail
# shellcheck source=../support/blank_pdf.sh
. "$(dirname "$0")/../support/blank_pdf.sh"
program=$1
if [ "$(id -u)" != 0 ]; then
    [ "${CI:-}" = true ] && { echo "FAIL: CI must run this as root, to act as a second user" >&2; exit 1; }
    echo "SKIP: only root can act as a second user"
    exit 77
fi
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

top=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-preset.XXXXXX")
trap 'rm -rf "$top"' EXIT
chmod 755 "$top"
build=$(cd "$(dirname "$program")" && pwd)
mkdir -m 755 "$top/program"
cp "$program" "$build"/libqvanto_*.so "$top/program/"
printf 'label0,株式会社プリセット,IPAMincho\r\nlabel1,総務部,IPAMincho\r\ncolor,255\r\nqvid,0\r\n' \
    >"$top/program/qvanto.ini"
chmod 644 "$top/program/qvanto.ini"
cp "$top/program/qvanto.ini" "$top/preset.orig"
home=$top/home
mkdir -m 700 "$home"
blank_pdf "$home/in.pdf"
chown -R nobody:nogroup "$home"
log=$home/.local/share/QVanto/qvanto.log

# stamp_as_user OUT: stamps as nobody; the rows of its last log record.
stamp_as_user() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups -- \
        env -i PATH="$PATH" HOME="$home" LANG=ja_JP.UTF-8 QT_QPA_PLATFORM=offscreen \
        timeout 20 "$top/program/qvanto" stamp-pdf "$home/in.pdf" "$home/$1" --page 1 --x 100 --y 100 \
        >"$top/out" 2>&1 || { cat "$top/out" >&2; fail "stamp-pdf as a second user failed ($1)"; }
    tail -n 2 "$log" 2>/dev/null | head -n 1
}

rows=$(stamp_as_user first.pdf)
[[ $rows == *株式会社プリセット,総務部,* ]] || fail "a new user did not start from the preset: '$rows'"

printf 'label0,自分の会社,IPAMincho\r\n' >"$home/.local/share/QVanto/qvanto.ini"
chown nobody:nogroup "$home/.local/share/QVanto/qvanto.ini"
rows=$(stamp_as_user second.pdf)
[[ $rows == *自分の会社,部課係名,* ]] || fail "the user's own settings did not win: '$rows'"

rm "$home/.local/share/QVanto/qvanto.ini"
chmod 666 "$top/program/qvanto.ini"
rows=$(stamp_as_user third.pdf)
[[ $rows == *会\ 社\ 名,* ]] || fail "a preset others can write was read: '$rows'"

cmp -s "$top/program/qvanto.ini" "$top/preset.orig" || fail "the preset was written"
[ "$failures" -eq 0 ] || exit 1
echo "preset read for a new user, own settings win, an open preset passed over, the preset untouched"
