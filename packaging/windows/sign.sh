#!/usr/bin/env bash
# sign.sh FILE: Authenticode-signs FILE in place with osslsigncode.
# The certificate and key come from the build's environment:
#   LINEWICK_SIGN_CERT       certificate (chain), PEM or DER
#   LINEWICK_SIGN_KEY        private key, PEM or DER
#   LINEWICK_SIGN_PASS_FILE  optional: file holding the key's password
#   LINEWICK_SIGN_TIMESTAMP  optional: RFC 3161 time-stamp server address
set -euo pipefail
file=${1:?usage: sign.sh FILE}
cert=${LINEWICK_SIGN_CERT:?LINEWICK_SIGN_CERT is not set}
key=${LINEWICK_SIGN_KEY:?LINEWICK_SIGN_KEY is not set}
args=(sign -certs "$cert" -key "$key" -h sha256 -n Linewick -i "https://hollent.com/")
[[ -n ${LINEWICK_SIGN_PASS_FILE:-} ]] && args+=(-readpass "$LINEWICK_SIGN_PASS_FILE")
[[ -n ${LINEWICK_SIGN_TIMESTAMP:-} ]] && args+=(-ts "$LINEWICK_SIGN_TIMESTAMP")
signed="$file.signed"
rm -f "$signed"
osslsigncode "${args[@]}" -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
