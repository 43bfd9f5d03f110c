#!/usr/bin/env bash
# Signs a built program in place with osslsigncode (Authenticode, SHA-256).
#
#   tools/sign.sh TEST_CA_DIR FILE
#
# A release certificate comes from the environment:
#   CVL_SIGN_PKCS12         the certificate with its private key (PKCS#12 file)
#   CVL_SIGN_PASSWORD_FILE  a file that holds its password
#   CVL_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server (optional)
# Without CVL_SIGN_PKCS12 the program is signed with the test certificate in
# TEST_CA_DIR, made there once by tools/make-test-cert.sh: not for distribution.
# The signing time is CVL_SIGN_TIME or else SOURCE_DATE_EPOCH (seconds since 1970)
# when one is set, so that two builds of the same sources give the same bytes;
# otherwise it is the moment of signing.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[ $# -eq 2 ] || { echo "usage: $0 TEST_CA_DIR FILE" >&2; exit 2; }
ca_dir="$1" file="$2"

if [ -n "${CVL_SIGN_PKCS12:-}" ]; then
    pkcs12="$CVL_SIGN_PKCS12"
    pass_file="${CVL_SIGN_PASSWORD_FILE:?CVL_SIGN_PASSWORD_FILE must name the file that holds the password of $CVL_SIGN_PKCS12}"
else
    "$ROOT/tools/make-test-cert.sh" "$ca_dir"
    pkcs12="$ca_dir/codesign.p12"
    pass_file="$ca_dir/codesign.pass"
fi
args=(sign -pkcs12 "$pkcs12" -readpass "$pass_file" -h sha256
      -n "Corvane library" -i "https://www.brindlecraft.example/")
signing_time="${CVL_SIGN_TIME:-${SOURCE_DATE_EPOCH:-}}"
if [ -n "$signing_time" ]; then
    usage="$(osslsigncode sign -h 2>&1 || true)"
    grep -q -- '-time' <<<"$usage" ||
        { echo "sign.sh: this osslsigncode cannot sign at a given time (its -time option); a newer one can" >&2; exit 1; }
    args+=(-time "$signing_time")
fi
[ -n "${CVL_SIGN_TIMESTAMP_URL:-}" ] && args+=(-ts "$CVL_SIGN_TIMESTAMP_URL")

signed="$file.signed"
rm -f "$signed"
if ! out="$(osslsigncode "${args[@]}" -in "$file" -out "$signed" 2>&1)"; then
    rm -f "$signed"
    echo "sign.sh: signing $file failed:" >&2
    echo "$out" >&2
    exit 1
fi
mv -f "$signed" "$file"
