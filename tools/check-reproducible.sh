#!/usr/bin/env bash
# Proves that the shipping build is reproducible: the checked-out sources are copied
# into two different folders and built there one after the other (so at two different
# times, in different time zones), with the same signing certificate and the same
# signing time; setup.exe, unbrd.exe, cvlabout.dll and the winget manifest must come
# out byte for byte the same, and so must the programs with their signatures removed.
#
# The certificate is the release one named by CVL_SIGN_PKCS12 and
# CVL_SIGN_PASSWORD_FILE, else the build tree's test certificate. The signing time is
# SOURCE_DATE_EPOCH, else the time of the checked-out commit. No time-stamp server is
# asked: its answer differs from one request to the next.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_ROOT="${CVL_BUILD_ROOT:-$ROOT/build}"
PROGRAMS=(setup.exe unbrd.exe cvlabout.dll)

if [ -z "${CVL_SIGN_PKCS12:-}" ]; then
    "$ROOT/tools/make-test-cert.sh" "$BUILD_ROOT/signing"
    export CVL_SIGN_PKCS12="$BUILD_ROOT/signing/codesign.p12"
    export CVL_SIGN_PASSWORD_FILE="$BUILD_ROOT/signing/codesign.pass"
fi
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 946684800)}"
export SOURCE_DATE_EPOCH
unset CVL_SIGN_TIMESTAMP_URL CVL_SIGN_TIME

work="$(mktemp -d "${TMPDIR:-/tmp}/cvl-reproducible.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# copy_sources DIR: the files git knows, as they are in the working tree.
copy_sources() {
    mkdir -p "$1"
    (cd "$ROOT" && git ls-files -z | tar --null -T - -cf -) | tar -xf - -C "$1"
}

# build SRC TZ: the shipping programs and their manifest, in SRC/build/x86.
build() {
    (cd "$1" && TZ="$2" cmake --preset x86 >/dev/null &&
        TZ="$2" nice cmake --build build/x86 -j"$(nproc)" --target setup winget_manifest >"$1/build.log" 2>&1) || {
        tail -n 30 "$1/build.log" >&2
        echo "check-reproducible.sh: the build in $1 failed" >&2
        exit 1
    }
}

start=$(date +%s)
copy_sources "$work/first/corvane"
copy_sources "$work/second/elsewhere/src"
build "$work/first/corvane" UTC
build "$work/second/elsewhere/src" Pacific/Kiritimati

status=0
compare() {
    if cmp -s "$1" "$2"; then return 0; fi
    echo "differs: ${1#$work/} and ${2#$work/} ($(cmp -l "$1" "$2" 2>/dev/null | wc -l) bytes)" >&2
    status=1
}
a="$work/first/corvane/build/x86" b="$work/second/elsewhere/src/build/x86"
for program in "${PROGRAMS[@]}"; do
    compare "$a/bin/$program" "$b/bin/$program"
    for side in "$a" "$b"; do
        osslsigncode remove-signature -in "$side/bin/$program" -out "$side/bin/$program.unsigned" >/dev/null
    done
    compare "$a/bin/$program.unsigned" "$b/bin/$program.unsigned"
done
for manifest in "$a"/packaging/winget/*.yaml; do
    compare "$manifest" "$b/packaging/winget/$(basename "$manifest")"
done
if [ "$status" -eq 0 ]; then
    echo "reproducible: ${PROGRAMS[*]} and the winget manifest identical in two builds ($(( $(date +%s) - start )) s)"
fi
exit "$status"
