#!/usr/bin/env bash
# Signed stamps against independent verifiers: an office CA and a test
# timestamp authority made here with openssl; signatures checked by pdfsig
# (NSS), openssl cms -verify over the byte ranges, openssl ts -verify, qpdf,
# and qvanto verify. Three approvers in a row stay valid; a changed byte or
# a changed page is caught; every refusal leaves no file, takes no number
# and logs nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/blank_pdf.sh
. "$here/../support/blank_pdf.sh"
program=$1
mismatched_p12=$2 # packs a key with another's certificate
dir=$(mktemp -d "${TMPDIR:-/tmp}/qvanto-sign.XXXXXX")
servers=()
cleanup() {
    for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$dir"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
for tool in openssl pdfsig certutil qpdf faketime python3; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

ca=$dir/ca
bash "$here/make_office_ca.sh" "$ca"
"$mismatched_p12" "$ca/user2.key" "$ca/user.pem" "$ca/ca.pem" secret "$ca/mismatched.p12"
mkdir "$dir/nss"
certutil -N -d "sql:$dir/nss" --empty-password
certutil -A -d "sql:$dir/nss" -n office -t "CT,C,C" -i "$ca/ca.pem"

# tsa MODE: starts a timestamp authority; its URL in $url.
tsa() {
    python3 "$here/tsa_server.py" "$ca" "$1" >"$dir/tsa-$1" &
    servers+=($!)
    for _ in $(seq 100); do
        [ -s "$dir/tsa-$1" ] && break
        sleep 0.2
    done
    url=http://127.0.0.1:$(head -1 "$dir/tsa-$1")/
}
tsa ok
good_tsa=$url
tsa garbage
garbage_tsa=$url
tsa slow
slow_tsa=$url

# A portable copy in a folder of its own keeps its log beside it.
mkdir -m 700 "$dir/own"
cp "$program" "$(dirname "$program")"/libqvanto_*.so "$dir/own/"
log=$dir/own/qvanto.log
run() {
    status=0
    (cd "$dir" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u LC_ALL LANG=ja_JP.UTF-8 HOME="$dir" \
        timeout 60 "$@") >"$dir/out" 2>"$dir/err" || status=$?
}
# sign IN OUT KEY [more...]: stamps at 100,100 mm on page 1 and signs.
sign() {
    local in=$1 out=$2 key=$3
    shift 3
    run env QVANTO_SIGN_PASSWORD=secret "$dir/own/qvanto" stamp-pdf "$in" "$out" --page 1 --x 100 --y 100 \
        --sign "$ca/$key.p12" "$@"
}
logged() { [ -f "$log" ] && grep -c '^QVID:' "$log" || echo 0; }

blank_pdf "$dir/in.pdf"
# qpdf's status 3 means it wrote the file with warnings.
qpdf --encrypt u o 256 -- "$dir/in.pdf" "$dir/locked.pdf" 2>/dev/null || [ $? -eq 3 ]
qpdf --encrypt "" owner 256 -- "$dir/in.pdf" "$dir/owner.pdf" 2>/dev/null || [ $? -eq 3 ]

# One signature: valid and trusted, CAdES, its reason the logged number.
sign in.pdf one.pdf user
number=$(cat "$dir/out")
[ "$status" -eq 0 ] || fail "signing: status $status: $(cat "$dir/err")"
grep -q "^QVID:$number," "$log" || fail "the number $number is not logged"
pdfsig -nssdir "sql:$dir/nss" "$dir/one.pdf" >"$dir/pdfsig" 2>&1 || true
for expected in "Signature Type: ETSI.CAdES.detached" "Signature is Valid" "Certificate is Trusted" \
    "Total document signed" "Common Name: 山田 太郎" "Signing Hash Algorithm: SHA-256"; do
    grep -q "$expected" "$dir/pdfsig" || fail "pdfsig does not say '$expected': $(cat "$dir/pdfsig")"
done
mkdir "$dir/parts"
python3 "$here/signature_parts.py" "$dir/one.pdf" 1 "$dir/parts"
openssl cms -verify -binary -inform DER -in "$dir/parts/cms.der" -content "$dir/parts/signed.bin" \
    -CAfile "$ca/ca.pem" -purpose any -out /dev/null 2>/dev/null || fail "openssl cms -verify refuses the signature"
openssl cms -cmsout -print -inform DER -in "$dir/parts/cms.der" >"$dir/cms.txt"
grep -q signingCertificateV2 "$dir/cms.txt" || fail "no signing-certificate-v2 attribute"
! grep -q signingTime "$dir/cms.txt" || fail "a signing time among the signed attributes"
[ "$(grep -c 'subject: ' "$dir/cms.txt")" -ge 2 ] || fail "the CA is not embedded with the signer"
reason=$(python3 - "$dir/one.pdf" <<'PY'
import re, sys
text = re.findall(rb"/Reason\s*\(((?:\\.|[^\\)])*)\)", open(sys.argv[1], "rb").read(), re.S)[-1]
raw = re.sub(rb"\\(.)", lambda m: {b"n": b"\n", b"r": b"\r", b"t": b"\t"}.get(m.group(1), m.group(1)), text, flags=re.S)
print(raw[2:].decode("utf-16-be") if raw.startswith(b"\xfe\xff") else raw.decode("latin-1"))
PY
)
[ "$reason" = "押印番号 $number" ] || fail "the reason is '$reason', not 押印番号 $number"
qpdf --check "$dir/one.pdf" >/dev/null || fail "qpdf --check fails on the signed copy"
cmp -s -n "$(stat -c %s "$dir/in.pdf")" "$dir/in.pdf" "$dir/one.pdf" || fail "the original bytes are not kept"

# Three approvers in a row, the last with a timestamp: all valid.
sign one.pdf two.pdf user2
sign two.pdf three.pdf user3 --tsa "$good_tsa"
[ "$status" -eq 0 ] || fail "the third signature: status $status: $(cat "$dir/err")"
pdfsig -nssdir "sql:$dir/nss" "$dir/three.pdf" >"$dir/pdfsig" 2>&1 || true
[ "$(grep -c 'Signature is Valid' "$dir/pdfsig")" -eq 3 ] || fail "not three valid signatures: $(cat "$dir/pdfsig")"
[ "$(grep -c 'Certificate is Trusted' "$dir/pdfsig")" -eq 3 ] || fail "not three trusted signatures"
python3 "$here/signature_parts.py" "$dir/three.pdf" 3 "$dir/parts"
[ -s "$dir/parts/token.der" ] || fail "the timestamped signature carries no token"
openssl ts -verify -data "$dir/parts/value.bin" -in "$dir/parts/token.der" -token_in -CAfile "$ca/ca.pem" \
    >/dev/null 2>&1 || fail "openssl ts -verify refuses the token over the signature value"
run "$dir/own/qvanto" verify three.pdf --trust "$ca/ca.pem"
[ "$status" -eq 0 ] || fail "qvanto verify of three approvers: status $status: $(cat "$dir/out" "$dir/err")"
[ "$(grep -c '有効、信頼できる証明書' "$dir/out")" -eq 3 ] || fail "verify does not show three valid: $(cat "$dir/out")"
[ "$(grep -c 'ログにあり' "$dir/out")" -eq 3 ] || fail "verify does not find the three numbers in the log"
grep -q '時刻印: [0-9]' "$dir/out" || fail "verify shows no timestamp time"
# The timestamp server kept in the settings serves when none is given.
printf 'tsa, %s \r\n' "$good_tsa" >"$dir/own/qvanto.ini"
sign in.pdf kept.pdf user
rm -f "$dir/parts/token.der"
python3 "$here/signature_parts.py" "$dir/kept.pdf" 1 "$dir/parts"
rm -f "$dir/own/qvanto.ini"
openssl ts -verify -data "$dir/parts/value.bin" -in "$dir/parts/token.der" -token_in -CAfile "$ca/ca.pem" \
    >/dev/null 2>&1 || fail "the timestamp server of the settings was not used"
# Without the office CA, valid but not trusted.
run "$dir/own/qvanto" verify three.pdf
[ "$status" -eq 1 ] || fail "verify without the CA: status $status"

# What is caught: one byte inside a signed range; a page changed in a later
# revision (a rotation appended as an update).
python3 - "$dir/three.pdf" "$dir/tampered.pdf" "$dir/turned.pdf" <<'PY'
import re, sys
data = open(sys.argv[1], "rb").read()
box = re.search(rb"/MediaBox\s*\[[^\]]*842", data)
open(sys.argv[2], "wb").write(data[:box.end() - 1] + b"3" + data[box.end():])
start = int(re.findall(rb"startxref\s+(\d+)", data)[-1])
size = int(re.findall(rb"/Size (\d+)", data)[-1])
root = re.findall(rb"/Root (\d+ \d+ R)", data)[-1]
found = list(re.finditer(rb"(\d+) 0 obj\s*<<((?:(?!endobj).)*?/Type\s*/Page\b(?:(?!endobj).)*)>>\s*endobj", data, re.S))[-1]
page = found.group(1)
body = b"%s 0 obj\n<<%s /Rotate 90 >>\nendobj\n" % (page, found.group(2))
offset = len(data) + 1
xref = b"xref\n0 1\n0000000000 65535 f \n%s 1\n%010d 00000 n \n" % (page, offset)
trailer = b"trailer\n<< /Size %d /Root %s /Prev %d >>\nstartxref\n%d\n%%%%EOF\n" % (size, root, start,
                                                                               offset + len(body))
open(sys.argv[3], "wb").write(data + b"\n" + body + xref + trailer)
PY
pdfsig "$dir/tampered.pdf" 2>&1 | grep -q 'Digest Mismatch' || fail "pdfsig does not catch a changed byte"
for changed in tampered turned; do
    run "$dir/own/qvanto" verify $changed.pdf --trust "$ca/ca.pem"
    [ "$status" -eq 1 ] || fail "verify of the $changed copy: status $status"
done
grep -q '署名後の変更: あり' "$dir/out" || fail "verify does not see the page changed after: $(cat "$dir/out")"

# Refusals: status 2, one line on stderr, no file, no number, nothing logged.
before=$(logged)
while IFS='|' read -r what in key password extra; do
    # shellcheck disable=SC2086 # the extra arguments are split on purpose
    run env QVANTO_SIGN_PASSWORD="$password" "$dir/own/qvanto" stamp-pdf "$in" refused.pdf --page 1 \
        --x 100 --y 100 --sign "$ca/$key.p12" $(eval echo $extra)
    [ "$status" -eq 2 ] || fail "$what: status $status"
    [ ! -e "$dir/refused.pdf" ] || fail "$what: a file was written"
    [ ! -s "$dir/out" ] || fail "$what: a number was printed: $(cat "$dir/out")"
    [ "$(wc -l <"$dir/err")" -eq 1 ] || fail "$what: not one message: $(cat "$dir/err")"
    [ "$(logged)" -eq "$before" ] || fail "$what: a number was logged"
    [ "$key" != mismatched ] || grep -q '秘密鍵に合う証明書' "$dir/err" || fail "$what: $(cat "$dir/err")"
    rm -f "$dir/refused.pdf"
done <<'TABLE'
wrong password|in.pdf|user|wrong|
expired certificate|in.pdf|expired|secret|
certificate not yet valid|in.pdf|future|secret|
key usage without signing|in.pdf|encipher|secret|
key that is not the certificate's|in.pdf|mismatched|secret|
no such key file|in.pdf|nobody|secret|
timestamp server answering garbage|in.pdf|user|secret|--tsa $garbage_tsa
timestamp server not answering in 10 s|in.pdf|user|secret|--tsa $slow_tsa
no timestamp server there|in.pdf|user|secret|--tsa http://127.0.0.1:9/
not a timestamp URL|in.pdf|user|secret|--tsa file:///etc/passwd
encrypted PDF|owner.pdf|user|secret|
PDF locked by a password|locked.pdf|user|secret|
TABLE

# verify refuses what it cannot read, and finds nothing to trust in an
# unsigned file.
run "$dir/own/qvanto" verify missing.pdf
[ "$status" -eq 2 ] || fail "verify of a missing file: status $status"
run "$dir/own/qvanto" verify in.pdf
[ "$status" -eq 1 ] || fail "verify of an unsigned file: status $status"

[ "$failures" -eq 0 ] || exit 1
echo "signed stamps checked"
