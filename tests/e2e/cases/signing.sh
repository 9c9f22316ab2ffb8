# The release's signing (packaging/windows/sign.sh) with a throwaway certificate made here.

sign_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)

# sign_fails WHY ENV...: sign.sh with that environment refuses, clearly, and leaves the file as it was.
sign_fails() {
    local why=$1
    shift
    cp "$CASE_DIR/Orvane.exe" "$CASE_DIR/refused.exe"
    env "$@" "$sign_repo/packaging/windows/sign.sh" "$CASE_DIR/refused.exe" 2>"$CASE_DIR/refused.err" &&
        fail "sign.sh signed with $why"
    grep -q '^sign: ' "$CASE_DIR/refused.err" || fail "sign.sh gave no reason for refusing $why"
    cmp -s "$CASE_DIR/Orvane.exe" "$CASE_DIR/refused.exe" || fail "sign.sh changed the file with $why"
    [[ ! -e "$CASE_DIR/refused.exe.signing" ]] || fail "sign.sh left a half-signed copy with $why"
}

# tampered FILE OFFSET: a copy of FILE with the byte at OFFSET changed, verified against the
# certificate: it must fail.
assert_tampered_fails() {
    cp "$1" "$1.tampered"
    printf '\x5a' | dd of="$1.tampered" bs=1 seek="$2" conv=notrunc status=none
    cmp -s "$1" "$1.tampered" && printf '\x5b' | dd of="$1.tampered" bs=1 seek="$2" conv=notrunc status=none
    osslsigncode verify -CAfile "$CASE_DIR/cert.pem" -in "$1.tampered" >"$CASE_DIR/tampered.log" 2>&1 &&
        fail "a copy of $(basename "$1") with byte $2 changed still verifies"
    return 0
}

case_signed_files_verify_and_run() {
    cd "$CASE_DIR" || fail "no case folder"
    openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
        -subj "/CN=Orvane test signer" -addext extendedKeyUsage=codeSigning 2>openssl.err ||
        fail "openssl made no certificate"
    openssl pkcs12 -export -in cert.pem -inkey key.pem -passout pass:right -out signer.p12 ||
        fail "openssl made no PKCS#12 file"
    mkdir stage && cp "$E2E_ORVANE" stage/Orvane.exe && cp "$sign_repo/README.md" "$sign_repo/orvane.schema.json" \
        "$sign_repo/LICENSE" stage/
    cp "$E2E_ORVANE" Orvane.exe

    # The executable signed with the PKCS#12 file, then packed and the package signed with PEM.
    ORVANE_SIGN_PKCS12=signer.p12 ORVANE_SIGN_PASSWORD=right \
        "$sign_repo/packaging/windows/sign.sh" stage/Orvane.exe || fail "sign.sh failed on Orvane.exe"
    "$sign_repo/packaging/windows/make-msi.sh" x64 "$E2E_VERSION" stage Orvane.msi || fail "make-msi.sh failed"
    ORVANE_SIGN_CERT=cert.pem ORVANE_SIGN_KEY=key.pem \
        "$sign_repo/packaging/windows/sign.sh" Orvane.msi || fail "sign.sh failed on the MSI"
    local file
    for file in stage/Orvane.exe Orvane.msi; do
        osslsigncode verify -CAfile cert.pem -in "$file" >verify.log 2>&1 ||
            fail "$file does not verify: $(tail -n 3 verify.log)"
    done
    # A byte of the code, and one of the package's string pool (inside a signed stream).
    assert_tampered_fails stage/Orvane.exe 4096
    assert_tampered_fails Orvane.msi "$(grep -abo 'The Orvane developers' Orvane.msi | head -n 1 | cut -d: -f1)"

    E2E_ORVANE=$CASE_DIR/stage/Orvane.exe orvane_run 30 VERSION
    assert_exit 0
    assert_stdout "Orvane $E2E_VERSION"

    openssl req -x509 -newkey rsa:2048 -nodes -keyout other.pem -out other-cert.pem -days 2 \
        -subj "/CN=other" 2>>openssl.err
    sign_fails "a wrong password" ORVANE_SIGN_PKCS12=signer.p12 ORVANE_SIGN_PASSWORD=wrong
    sign_fails "a missing file" ORVANE_SIGN_PKCS12=missing.p12 ORVANE_SIGN_PASSWORD=right
    sign_fails "a key of another certificate" ORVANE_SIGN_CERT=cert.pem ORVANE_SIGN_KEY=other.pem
    # An expired certificate: a self-signed one whose days ended in 2020.
    : >index.txt && echo 01 >serial
    printf '%s\n' '[ca]' 'default_ca = c' '[c]' 'database = index.txt' 'new_certs_dir = .' \
        'serial = serial' 'default_md = sha256' 'policy = p' '[p]' 'commonName = supplied' >ca.cnf
    openssl req -new -key other.pem -out other.csr -subj "/CN=expired" &&
        openssl ca -batch -config ca.cnf -selfsign -keyfile other.pem -in other.csr \
            -startdate 20200101000000Z -enddate 20200102000000Z -out expired.pem 2>>openssl.err >&2 ||
        fail "openssl made no expired certificate"
    sign_fails "an expired certificate" ORVANE_SIGN_CERT=expired.pem ORVANE_SIGN_KEY=other.pem
    grep -q 'expired' refused.err || fail "the refusal does not say the certificate expired: $(cat refused.err)"
}
