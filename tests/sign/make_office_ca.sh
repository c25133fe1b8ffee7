#!/bin/bash
# make_office_ca.sh DIR: an office CA and the keys the signing tests use,
# made with openssl (and faketime for certificates of another time):
#   ca.pem ca.key             the office CA
#   user.p12                  山田 太郎, for signing (password "secret")
#   user2.p12 user3.p12       two more approvers
#   expired.p12 future.p12    valid only in 2020 / from 2040
#   encipher.p12              key usage keyEncipherment only
#   tsa.pem tsa.key tsa.cnf   a timestamp authority under the CA
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"
pass=secret

openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 3650 -sha256 \
    -subj "/O=QVanto Test Office/CN=QVanto Test Office CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null

# issue NAME CN USAGE [faketime date]: NAME.key and NAME.pem signed by the CA
issue() {
    local name=$1 cn=$2 usage=$3 when=${4:-}
    printf 'basicConstraints=CA:FALSE\nkeyUsage=%s\nsubjectKeyIdentifier=hash\nauthorityKeyIdentifier=keyid\n%s\n' \
        "$usage" "${5:-}" >"$name.ext"
    openssl req -newkey rsa:2048 -nodes -keyout "$name.key" -out "$name.csr" -utf8 \
        -subj "/O=QVanto Test Office/CN=$cn" 2>/dev/null
    local run=()
    [ -n "$when" ] && run=(faketime "$when")
    "${run[@]}" openssl x509 -req -in "$name.csr" -CA ca.pem -CAkey ca.key -CAcreateserial \
        -out "$name.pem" -days 365 -sha256 -extfile "$name.ext" 2>/dev/null
}
p12() {
    openssl pkcs12 -export -inkey "$1.key" -in "$1.pem" -certfile ca.pem -out "$1.p12" -passout "pass:$pass"
}

issue user "山田 太郎" "critical,digitalSignature,nonRepudiation"
issue user2 "佐藤 花子" "critical,digitalSignature,nonRepudiation"
issue user3 "鈴木 一郎" "critical,digitalSignature"
issue expired "期限切れ 次郎" "critical,digitalSignature" "2020-01-01 00:00:00"
issue future "未来 三郎" "critical,digitalSignature" "2040-01-01 00:00:00"
issue encipher "暗号 四郎" "critical,keyEncipherment"
for name in user user2 user3 expired future encipher; do p12 $name; done

issue tsa "QVanto Test TSA" "critical,digitalSignature,nonRepudiation" "" "extendedKeyUsage=critical,timeStamping"
cat >tsa.cnf <<CNF
[ tsa ]
default_tsa = tsa_config
[ tsa_config ]
dir = $PWD
serial = \$dir/tsaserial
crypto_device = builtin
signer_cert = \$dir/tsa.pem
certs = \$dir/ca.pem
signer_key = \$dir/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256
accuracy = secs:1
ordering = yes
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
CNF
echo 01 >tsaserial
