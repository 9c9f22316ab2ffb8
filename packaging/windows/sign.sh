#!/usr/bin/env bash
# Signs Windows artefacts (Orvane.exe, the MSI) with osslsigncode, in place, with the key that
# the environment names:
#   ORVANE_SIGN_PKCS12 and ORVANE_SIGN_PASSWORD   a PKCS#12 file with its password, or
#   ORVANE_SIGN_CERT and ORVANE_SIGN_KEY          PEM certificate(s) and key (ORVANE_SIGN_PASSWORD
#                                                 for a key that has one)
#   ORVANE_SIGN_TIMESTAMP_URL                     optional: an RFC 3161 time-stamp server
# Usage: sign.sh --configured   exit 0 when a key is given, 1 when none, 2 when it is incomplete
#        sign.sh FILE...        each FILE signed and verified, or left as it was
# Each file is signed to a temporary copy, which must verify (its digest and its certificate
# chain, against the system's roots and the given certificates) before it replaces the file.
set -euo pipefail

die() {
    echo "sign: $*" >&2
    exit 2
}

if [[ -n "${ORVANE_SIGN_PKCS12:-}" ]]; then
    [[ -z "${ORVANE_SIGN_CERT:-}${ORVANE_SIGN_KEY:-}" ]] ||
        die "give ORVANE_SIGN_PKCS12 or ORVANE_SIGN_CERT with ORVANE_SIGN_KEY, not both"
    [[ -v ORVANE_SIGN_PASSWORD ]] || die "ORVANE_SIGN_PKCS12 needs ORVANE_SIGN_PASSWORD"
    key_kind=pkcs12
elif [[ -n "${ORVANE_SIGN_CERT:-}${ORVANE_SIGN_KEY:-}" ]]; then
    [[ -n "${ORVANE_SIGN_CERT:-}" && -n "${ORVANE_SIGN_KEY:-}" ]] ||
        die "ORVANE_SIGN_CERT and ORVANE_SIGN_KEY go together"
    key_kind=pem
else
    key_kind=none
fi
if [[ "${1:-}" == --configured ]]; then
    [[ $key_kind != none ]]
    exit
fi
[[ $key_kind != none ]] || die "no key given (ORVANE_SIGN_PKCS12, or ORVANE_SIGN_CERT and ORVANE_SIGN_KEY)"
[[ $# -gt 0 ]] || die "usage: sign.sh --configured | FILE..."

work=$(mktemp -d)
signed=""
# Whatever way this ends, no half-signed copy stays behind.
trap 'rm -rf "$work"; [[ -z "$signed" ]] || rm -f "$signed"' EXIT
# A password reaches openssl and osslsigncode through a file, never a command line.
(umask 077 && printf '%s' "${ORVANE_SIGN_PASSWORD:-}" >"$work/password")
if [[ -n "${ORVANE_SIGN_PASSWORD:-}" ]]; then
    passin=(-passin "file:$work/password") readpass=(-readpass "$work/password")
else
    passin=(-passin pass:) readpass=(-pass "")
fi

# The signer's certificates, read out of the key: a wrong password or a file that is not there
# stops here, before any artefact is touched.
if [[ $key_kind == pkcs12 ]]; then
    [[ -r "$ORVANE_SIGN_PKCS12" ]] || die "cannot read the PKCS#12 file $ORVANE_SIGN_PKCS12"
    openssl pkcs12 -in "$ORVANE_SIGN_PKCS12" "${passin[@]}" -nokeys -clcerts \
        -out "$work/signer.pem" 2>"$work/openssl.err" ||
        die "cannot open $ORVANE_SIGN_PKCS12 (wrong password?): $(head -n 1 "$work/openssl.err")"
    openssl pkcs12 -in "$ORVANE_SIGN_PKCS12" "${passin[@]}" -nokeys -cacerts \
        -out "$work/chain.pem" 2>/dev/null || true
    key_options=(-pkcs12 "$ORVANE_SIGN_PKCS12" "${readpass[@]}")
else
    for file in "$ORVANE_SIGN_CERT" "$ORVANE_SIGN_KEY"; do
        [[ -r "$file" ]] || die "cannot read $file"
    done
    openssl x509 -in "$ORVANE_SIGN_CERT" -out "$work/signer.pem" 2>/dev/null ||
        die "$ORVANE_SIGN_CERT holds no PEM certificate"
    cp "$ORVANE_SIGN_CERT" "$work/chain.pem"
    openssl pkey -in "$ORVANE_SIGN_KEY" "${passin[@]}" -pubout \
        -out "$work/key.pub" 2>/dev/null || die "cannot open the key $ORVANE_SIGN_KEY (wrong password?)"
    openssl x509 -in "$work/signer.pem" -noout -pubkey >"$work/cert.pub"
    cmp -s "$work/key.pub" "$work/cert.pub" || die "$ORVANE_SIGN_KEY is not the key of $ORVANE_SIGN_CERT"
    key_options=(-certs "$ORVANE_SIGN_CERT" -key "$ORVANE_SIGN_KEY" "${readpass[@]}")
fi
openssl x509 -in "$work/signer.pem" -noout -checkend 0 >/dev/null ||
    die "the signing certificate has expired: $(openssl x509 -in "$work/signer.pem" -noout -enddate)"

timestamp=()
[[ -z "${ORVANE_SIGN_TIMESTAMP_URL:-}" ]] || timestamp=(-ts "$ORVANE_SIGN_TIMESTAMP_URL")
cat /etc/ssl/certs/ca-certificates.crt "$work/signer.pem" "$work/chain.pem" \
    >"$work/trusted.pem" 2>/dev/null || cat "$work/signer.pem" "$work/chain.pem" >"$work/trusted.pem"

for file in "$@"; do
    [[ -f "$file" ]] || die "no file $file to sign"
    signed="$file.signing"
    rm -f "$signed"
    osslsigncode sign "${key_options[@]}" "${timestamp[@]}" -n Orvane -h sha256 \
        -in "$file" -out "$signed" >"$work/sign.log" 2>&1 ||
        die "osslsigncode could not sign $file: $(grep -v '^Succeeded' "$work/sign.log" | head -n 3)"
    osslsigncode verify -CAfile "$work/trusted.pem" -in "$signed" >"$work/verify.log" 2>&1 ||
        die "the signed $file does not verify: $(grep -iE 'error|fail' "$work/verify.log" | head -n 3)"
    mv -f "$signed" "$file"
    signed=""
    echo "sign: signed $file"
done
