#!/usr/bin/env bash
# Makes a test certificate authority and a code-signing certificate issued by it, once,
# in DIR (default: build/signing): ca.pem (the authority, for osslsigncode verify
# -CAfile), codesign.p12 and codesign.pass (the certificate with its key, and the
# file that holds its password). Programs signed with it are for tests only: no
# Windows trusts the authority.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
DIR="${1:-$ROOT/build/signing}"
[ -f "$DIR/codesign.p12" ] && exit 0

mkdir -p "$(dirname "$DIR")"
# Builds of both architectures may ask at the same moment: one makes it.
exec 9>"$DIR.lock"
flock 9
[ -f "$DIR/codesign.p12" ] && exit 0

work="$(mktemp -d "$DIR.new.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir newcerts
: >index.txt
echo 01 >serial
cat >ca.cnf <<CNF
[ ca ]
default_ca = test_ca
[ test_ca ]
dir = .
database = ./index.txt
new_certs_dir = ./newcerts
serial = ./serial
default_md = sha256
policy = policy_any
unique_subject = no
email_in_dn = no
[ policy_any ]
commonName = supplied
organizationName = optional
[ req ]
distinguished_name = dn
[ dn ]
[ v3_ca ]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[ v3_codesign ]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CNF
# Valid from long before any fixed signing time a reproducible build names (the
# commit's time) until long after.
dates=(-startdate 20000101000000Z -enddate 20991231235959Z)
quiet() { "$@" >/dev/null 2>&1 || { echo "make-test-cert.sh: $* failed" >&2; "$@" >&2; exit 1; }; }
quiet openssl genrsa -out ca.key 3072
quiet openssl req -new -config ca.cnf -key ca.key -out ca.csr \
    -subj "/O=Brindlecraft test/CN=Corvane test code signing authority (not for distribution)"
quiet openssl ca -batch -config ca.cnf -selfsign -keyfile ca.key -in ca.csr -out ca.pem -notext \
    -extensions v3_ca "${dates[@]}"
quiet openssl genrsa -out codesign.key 3072
quiet openssl req -new -config ca.cnf -key codesign.key -out codesign.csr \
    -subj "/O=Brindlecraft test/CN=Brindlecraft test signing (not for distribution)"
quiet openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -in codesign.csr -out codesign.pem -notext \
    -extensions v3_codesign "${dates[@]}"
openssl rand -hex 16 >codesign.pass
quiet openssl pkcs12 -export -inkey codesign.key -in codesign.pem -certfile ca.pem -out codesign.p12 \
    -passout file:codesign.pass -name "Brindlecraft test signing"
rm -f ca.csr codesign.csr
rm -rf "$DIR"
mv "$work" "$DIR"
trap - EXIT
