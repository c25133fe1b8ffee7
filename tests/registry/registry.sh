#!/usr/bin/env bash
# The office registry against a real PostgreSQL 15 of the test's own: a
# cluster made in a temporary folder by an unprivileged user, reached over a
# Unix socket only (no TCP port). Desks are copies of the program, each in a
# folder of its own (its log and queue beside it), logging in as stamper
# roles alice and bob.
#
# Cases: init twice; stamp-pdf recorded under the stamper's role with the
# hash of the file written; two desks in one frozen second; the server
# stopped mid-batch and started again (stamps go on at once, every record
# arrives exactly once after sync, a number taken meanwhile kept as a
# clash); look-up from a third desk; UPDATE, DELETE, TRUNCATE and a forged
# stamped_by refused.
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
ERRORS=0
check_failed() {
    echo "FAIL: $*" >&2
    ERRORS=$((ERRORS + 1))
}
note() { echo "-- $*"; }

[ $# -eq 1 ] && [ -x "$1" ] || fail "usage: $0 PATH_TO_QVANTO"
PROGRAM=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
PGBIN=$(compgen -G '/usr/lib/postgresql/15/bin' | head -n 1) || true
faketime_lib=$(compgen -G '/usr/lib/*/faketime/libfaketime.so.1' | head -n 1) || true
if [ ! -x "$PGBIN/initdb" ] || [ -z "$faketime_lib" ] || ! command -v qpdf >/dev/null; then
    # A missing tool fails under CI and skips elsewhere (ctest's skip code).
    [ "${CI:-}" = true ] && fail "postgresql-15, libfaketime or qpdf is not installed"
    echo "SKIP: postgresql-15, libfaketime or qpdf is not installed"
    exit 77
fi
# shellcheck source=../support/blank_pdf.sh
. "$(dirname "$0")/../support/blank_pdf.sh"

DIR=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-registry.XXXXXX")
chmod 755 "$DIR"
PGDATA=$DIR/cluster
SOCKET=$DIR/socket
# The server refuses to run as root: it runs as an unprivileged user.
if [ "$(id -u)" = 0 ]; then
    RUNAS=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
else
    RUNAS=()
fi
as_server() { "${RUNAS[@]}" env -u PGDATA "$@"; }
mkdir -p "$PGDATA" "$SOCKET"
[ "$(id -u)" = 0 ] && chown nobody:nogroup "$PGDATA" "$SOCKET"

cleanup() {
    as_server "$PGBIN/pg_ctl" -D "$PGDATA" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$DIR"
}
trap cleanup EXIT

as_server "$PGBIN/initdb" -D "$PGDATA" -U owner --auth=trust -E UTF8 --locale=C.UTF-8 >"$DIR/initdb.log" 2>&1 ||
    fail "initdb: $(tail -5 "$DIR/initdb.log")"
start_server() {
    as_server "$PGBIN/pg_ctl" -D "$PGDATA" -l "$SOCKET/server.log" -w -t 30 \
        -o "-c listen_addresses='' -c unix_socket_directories='$SOCKET' -c fsync=off" start >/dev/null ||
        fail "the server did not start: $(tail -5 "$SOCKET/server.log")"
}
stop_server() { as_server "$PGBIN/pg_ctl" -D "$PGDATA" -m immediate stop >/dev/null; }
start_server

psql_as() {
    local role=$1
    shift
    "$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$SOCKET" -U "$role" -d postgres -At "$@"
}
connection() { echo "host=$SOCKET dbname=postgres user=$1"; }

# desk NAME ROLE: a copy of the program in a folder of its own.
desk() {
    mkdir -p "$DIR/$1"
    cp "$PROGRAM" "$DIR/$1/qvanto"
    cp "$(dirname "$PROGRAM")"/libqvanto_*.so "$DIR/$1/"
    chmod 700 "$DIR/$1"
    connection "$2" >"$DIR/$1/registry.conf"
    blank_pdf "$DIR/$1/in.pdf"
}
# on DESK COMMAND...: the desk's program run in its folder; in the frozen
# second when FROZEN is set.
on() {
    local name=$1
    shift
    (
        cd "$DIR/$name"
        if [ -n "${FROZEN:-}" ]; then
            QT_QPA_PLATFORM=offscreen frozen ./qvanto "$@"
        else
            QT_QPA_PLATFORM=offscreen ./qvanto "$@"
        fi
    )
}
SECOND='2026-12-07 10:00:00'
frozen() {
    env LD_PRELOAD="$faketime_lib" FAKETIME="$SECOND" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0:detect_leaks=0" "$@"
}
stamp_pdf() { # DESK OUT: prints the number
    on "$1" stamp-pdf in.pdf "$2" --page 1 --x 100 --y 100
}
count() { psql_as owner -c "SELECT count(*) FROM $1 $2"; }

desk alice alice
desk bob bob
desk carol carol

note "init, twice, by the database's owner"
(cd "$DIR/alice" && QVANTO_REGISTRY="$(connection owner)" QT_QPA_PLATFORM=offscreen ./qvanto registry init) ||
    fail "the first init failed"
(cd "$DIR/alice" && QVANTO_REGISTRY="$(connection owner)" QT_QPA_PLATFORM=offscreen ./qvanto registry init) ||
    fail "the second init failed"
psql_as owner -c "CREATE ROLE alice LOGIN IN ROLE qvanto_stamper;
    CREATE ROLE bob LOGIN IN ROLE qvanto_stamper; CREATE ROLE carol LOGIN IN ROLE qvanto_auditor;"


note "two desks in one frozen second get different numbers, both recorded"
FROZEN=1 stamp_pdf alice a1.pdf >"$DIR/a1" &
FROZEN=1 stamp_pdf bob b1.pdf >"$DIR/b1" &
wait %1 || fail "alice's stamp-pdf in the frozen second failed"
wait %2 || fail "bob's stamp-pdf in the frozen second failed"
a1=$(cat "$DIR/a1")
b1=$(cat "$DIR/b1")
note "alice got $a1, bob $b1"
[ -n "$a1" ] && [ "$a1" != "$b1" ] || check_failed "both desks got '$a1' / '$b1'"
[ "${a1:0:6}" = "${b1:0:6}" ] || check_failed "the two desks did not stamp in one second"
[ "$(count stamps "WHERE number IN ('$a1', '$b1')")" = 2 ] || check_failed "not both rows are in stamps"
[ "$(psql_as owner -c "SELECT stamped_by FROM stamps WHERE number = '$b1'")" = bob ] ||
    check_failed "bob's stamp is not under bob's role"
# Both logs were empty: both desks made the same first number, and the
# registry gave it to one; the other took the next.
grep -q "^QVID:$a1," "$DIR/alice/qvanto.log" && grep -q "^QVID:$b1," "$DIR/bob/qvanto.log" ||
    check_failed "the local logs do not hold the numbers given"
# The same frozen second again, one at a time.
a2=$(FROZEN=1 stamp_pdf alice a2.pdf)
b2=$(FROZEN=1 stamp_pdf bob b2.pdf)
[ "$a2" != "$b2" ] || check_failed "the second pair shares $a2"

note "stamp-pdf recorded under the stamper's role, with the hash of the file written"
n1=$(stamp_pdf alice one.pdf) || fail "alice's stamp-pdf failed"
row=$(psql_as owner -c "SELECT stamped_by, kind, document, document_sha256 FROM stamps WHERE number = '$n1'")
sha=$(sha256sum "$DIR/alice/one.pdf" | cut -d' ' -f1)
[ "$row" = "alice|PDF|one.pdf|$sha" ] || check_failed "alice's row: '$row', expected alice|PDF|one.pdf|$sha"

note "server stopped mid-batch: stamp-pdf goes on at once, its record waits"
stop_server
started=$(date +%s%N)
off1=$(FROZEN=1 stamp_pdf alice off1.pdf) || fail "stamp-pdf failed with the server down"
off2=$(stamp_pdf alice off2.pdf) || fail "the second stamp-pdf failed with the server down"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
[ "$elapsed_ms" -lt 8000 ] || check_failed "two offline stamps took $elapsed_ms ms"
[ "$(grep -c . "$DIR/alice/qvanto.queue")" = 2 ] || check_failed "the queue does not hold two records"
grep -q "^QVID:$off1," "$DIR/alice/qvanto.log" || check_failed "the offline stamp is not in the log"
if on alice registry sync 2>/dev/null; then check_failed "sync reported success with the server down"; fi
start_server
# Meanwhile another desk takes alice's offline number.
psql_as bob -c "INSERT INTO stamps (number, desk, kind) VALUES ('$off1', 'elsewhere', '押印')"
on alice registry sync >/dev/null || check_failed "sync failed with the server back"
[ ! -s "$DIR/alice/qvanto.queue" ] || check_failed "the queue is not empty after sync"
on alice registry sync >/dev/null || check_failed "a second sync failed"
[ "$(count stamps "WHERE number = '$off2' AND stamped_by = 'alice'")" = 1 ] ||
    check_failed "the offline stamp $off2 is not recorded once"
off2sha=$(sha256sum "$DIR/alice/off2.pdf" | cut -d' ' -f1)
[ "$(psql_as owner -c "SELECT document_sha256 FROM stamps WHERE number = '$off2'")" = "$off2sha" ] ||
    check_failed "the offline stamp's hash did not arrive"
[ "$(count stamp_clashes "WHERE number = '$off1' AND stamped_by = 'alice'")" = 1 ] ||
    check_failed "alice's clashing $off1 is not kept as a clash"
[ "$(count stamps "WHERE number = '$off1' AND stamped_by = 'bob'")" = 1 ] ||
    check_failed "the other desk's $off1 is not kept"
# Seven stamps given, one number taken elsewhere as well.
total=$(($(count stamps "") + $(count stamp_clashes "")))
[ "$total" = 8 ] || check_failed "$total rows for the 8 stamps given"

note "the next stamp sends what waits first"
stop_server
off3=$(stamp_pdf bob off3.pdf)
start_server
next=$(stamp_pdf bob next.pdf)
[ "$(count stamps "WHERE number IN ('$off3', '$next')")" = 2 ] || check_failed "the queue was not sent with the next stamp"

note "a server that hangs costs a stamp about a second, and the record waits"
postmaster=$(head -n 1 "$PGDATA/postmaster.pid")
kill -STOP "$postmaster"
started=$(date +%s%N)
hung=$(stamp_pdf bob hung.pdf) || check_failed "stamp-pdf failed with the server hung"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
kill -CONT "$postmaster"
[ "$elapsed_ms" -lt 5000 ] || check_failed "a stamp with the server hung took $elapsed_ms ms"
grep -q "\"number\":\"$hung\"" "$DIR/bob/qvanto.queue" || check_failed "the hung server's stamp is not queued"
on bob registry sync >/dev/null || check_failed "sync after the hang failed"
[ "$(count stamps "WHERE number = '$hung' AND stamped_by = 'bob'")" = 1 ] ||
    check_failed "the stamp made while the server hung is not recorded once"

note "look-up from a third desk names who stamped it"
out=$(on carol lookup "$b1") || check_failed "carol's look-up of $b1 failed"
grep -q "押印者 bob 端末 " <<<"$out" || check_failed "carol's look-up does not name bob: $out"
out=$(on carol lookup "$DIR/alice/one.pdf") || check_failed "carol's look-up of one.pdf failed"
grep -q "SHA-256 $sha" <<<"$out" || check_failed "the PDF's look-up does not give its hash: $out"
# verify holds the file against the copy registered (status 1: no signature).
out=$(on carol verify "$DIR/alice/one.pdf") || true
grep -q "登録された写しと同じファイルです" <<<"$out" || check_failed "verify does not find the registered copy: $out"
cp "$DIR/alice/one.pdf" "$DIR/carol/changed.pdf"
printf '\n%% changed\n' >>"$DIR/carol/changed.pdf"
out=$(on carol verify "$DIR/carol/changed.pdf") || true
grep -q "登録された写しから変わっています" <<<"$out" || check_failed "verify misses a changed copy: $out"

note "a stamper cannot change or delete a row, nor stamp in another's name"
refused() { # ROLE SQL
    if psql_as "$1" -c "$2" >/dev/null 2>&1; then check_failed "$1 could: $2"; fi
}
refused alice "UPDATE stamps SET desk = 'x' WHERE number = '$n1'"
refused alice "UPDATE stamps SET document_sha256 = 'x' WHERE number = '$n1'"
refused alice "DELETE FROM stamps WHERE number = '$n1'"
refused alice "TRUNCATE stamps"
refused alice "INSERT INTO stamps (number, stamped_by) VALUES ('FORGED00', 'bob')"
refused bob "UPDATE stamps SET document_sha256 = 'x' WHERE number = '$off3'"
refused carol "INSERT INTO stamps (number) VALUES ('AUDIT000')"
refused owner "UPDATE stamps SET desk = 'x'"
refused owner "DELETE FROM stamps"
refused owner "TRUNCATE stamps, stamp_clashes"
[ "$(count stamps "WHERE number = '$n1' AND desk <> 'x'")" = 1 ] || check_failed "alice's row changed"

note "without a registry nothing is asked and no module loaded"
mkdir -p "$DIR/plain" && cp "$PROGRAM" "$(dirname "$PROGRAM")"/libqvanto_*.so "$DIR/plain/"
chmod 700 "$DIR/plain"
blank_pdf "$DIR/plain/in.pdf"
(cd "$DIR/plain" && QT_QPA_PLATFORM=offscreen LD_DEBUG=files ./qvanto stamp-pdf in.pdf out.pdf --page 1 --x 100 --y 100 \
    2>"$DIR/plain.ld" >/dev/null) || check_failed "stamp-pdf without a registry failed"
if grep -q "libqvanto_registry\|libQt6Sql" "$DIR/plain.ld"; then check_failed "the registry module was loaded"; fi
[ ! -e "$DIR/plain/qvanto.queue" ] || check_failed "a queue was made without a registry"

if [ -n "${DISPLAY:-}" ] && [ -n "${QVANTO_TEST_WM:-}" ]; then
    note "the window's 押印 recorded under the stamper's role"
    # shellcheck source=../x11/lib.sh
    . "$(dirname "$0")/../x11/lib.sh"
    qv_init "$PROGRAM"
    trap 'cleanup; qv_cleanup' EXIT
    chmod 700 "$QV_DIR"
    connection alice >"$QV_DIR/registry.conf"
    # A stamp made offline is sent when the window starts, before any stamp.
    blank_pdf "$QV_DIR/in.pdf"
    stop_server
    waited=$(cd "$QV_DIR" && QT_QPA_PLATFORM=offscreen ./qvanto stamp-pdf in.pdf waited.pdf --page 1 --x 100 --y 100)
    start_server
    sent_at_start() { [ "$(count stamps "WHERE number = '$waited'")" = 1 ]; }
    qv_start
    qv_wait_for_face "$QV_DIR/window.png"
    qv_wait 10 "the offline stamp sent at start" sent_at_start
    qv_press_stamp_button
    two_records() { [ "$(grep -c '^QVID:' "$QV_DIR/qvanto.log")" = 2 ]; }
    qv_wait 10 "a record of the stamp button" two_records
    pressed=$(sed -n 's/^QVID:\([0-9A-Z]*\),.*/\1/p' "$QV_DIR/qvanto.log" | tail -n 1)
    [ "$(count stamps "WHERE number = '$pressed' AND stamped_by = 'alice' AND kind = '押印'")" = 1 ] ||
        check_failed "the window's stamp $pressed is not recorded under alice"
else
    note "no display with a window manager: the window's stamp button is not tried"
fi

[ "$ERRORS" = 0 ] || fail "$ERRORS check(s) failed"
echo PASS
