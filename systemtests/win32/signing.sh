#!/usr/bin/env bash
# Signing the Windows program as a release build does (cmake/SignFile.cmake, the step the build
# runs after linking when a certificate is given): a throw-away self-signed code-signing
# certificate, a copy of the built program signed with it, and osslsigncode's verification: a
# valid Authenticode signature with a SHA-256 digest over the unchanged program. The unsigned
# program, and a signed one changed afterwards, fail the verification.
#   signing.sh PROGRAM SIGNFILE_SCRIPT
set -u
. "$(dirname "$0")/../lib/harness.sh"
program=$1
script=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Zanprobe test signer" \
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
    -keyout "$work/key.pem" -out "$work/cert.pem" >"$work/openssl.out" 2>&1 ||
    { echo "FAIL: openssl: $(cat "$work/openssl.out")"; exit 1; }
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" 2>&1; }

cp "$program" "$work/unsigned.exe"
verify "$work/unsigned.exe" >"$work/unsigned.out" && fail "the unsigned program verifies"

cp "$program" "$work/signed.exe"
cmake -DFILE="$work/signed.exe" -DCERT="$work/cert.pem" -DKEY="$work/key.pem" \
    "-DDESCRIPTION=Zanprobe 7" -P "$script" >"$work/sign.out" 2>&1 ||
    fail "signing failed: $(cat "$work/sign.out")"
[ -e "$work/signed.exe.signed" ] && fail "the signing step left its temporary file"
verify "$work/signed.exe" >"$work/verify.out" || fail "verification failed: $(cat "$work/verify.out")"
grep -q "Signature verification: ok" "$work/verify.out" ||
    fail "no valid signature: $(cat "$work/verify.out")"
grep -qi "Message digest algorithm *: SHA256" "$work/verify.out" ||
    fail "the digest is not SHA-256: $(grep -i digest "$work/verify.out")"
grep -q "Zanprobe test signer" "$work/verify.out" || fail "the signer is not named"

# One changed byte in the signed program's code breaks the signature.
cp "$work/signed.exe" "$work/changed.exe"
printf '\x90' | dd of="$work/changed.exe" bs=1 seek=1100 conv=notrunc status=none
verify "$work/changed.exe" >"$work/changed.out" && fail "a changed program still verifies"

# A missing key is refused, and the program is left as it was.
cp "$program" "$work/nokey.exe"
cmake -DFILE="$work/nokey.exe" -DCERT="$work/cert.pem" -DKEY="$work/missing.pem" \
    -P "$script" >"$work/nokey.out" 2>&1 && fail "signing without the key succeeded"
cmp -s "$program" "$work/nokey.exe" || fail "a failed signing changed the program"

if [ $failures -eq 0 ]; then
    echo "signing: all checks passed"
else
    exit 1
fi
