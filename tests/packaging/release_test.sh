#!/usr/bin/env bash
# release_test.sh INSTALLER UPDATE_JSON VERSION [CA_CERT]
# The built installer and its update document: the name the updater
# downloads to, the document's fields for exactly this file and its entry
# for Linux (the download page), and, with
# CA_CERT, an Authenticode signature by "Quorvane Co., Ltd." that verifies
# against it and breaks when the file changes.
set -uo pipefail
setup=$1 doc=$2 version=$3 ca=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "release test: $*" >&2; failures=$((failures + 1)); }

[[ $(basename "$setup") == "Linewick-Setup-$version.exe" ]] || fail "installer named $(basename "$setup")"
python3 - "$doc" "$setup" "$version" <<'PY' || fail "the update document does not describe the installer"
import hashlib, json, os, sys
doc_path, setup, version = sys.argv[1:]
doc = json.load(open(doc_path, encoding="utf-8"))
data = open(setup, "rb").read()
problems = []
if doc.get("version") != version:
    problems.append(f"version {doc.get('version')!r}")
url = doc.get("url")
if not isinstance(url, str) or not url.startswith("https://") or \
        not url.endswith(f"/Linewick-Setup-{version}.exe"):
    problems.append(f"url {url!r}")
if doc.get("sha256") != hashlib.sha256(data).hexdigest():
    problems.append(f"sha256 {doc.get('sha256')!r}")
size = doc.get("size")
if type(size) is not int or size != len(data) or size != os.path.getsize(setup):
    problems.append(f"size {size!r} for {len(data)} bytes")
# The same release for Linux, on its download page.
linux = doc.get("linux")
if not isinstance(linux, dict) or linux.get("version") != version or \
        not isinstance(linux.get("page"), str) or not linux["page"].startswith("https://"):
    problems.append(f"linux {linux!r}")
if problems:
    print("update.json:", ", ".join(problems), file=sys.stderr)
    sys.exit(1)
PY

if [[ -n $ca ]]; then
  osslsigncode verify -CAfile "$ca" -in "$setup" >"$work/verify.log" 2>&1 ||
    fail "the installer's signature does not verify: $(tail -5 "$work/verify.log")"
  grep -q "Subject: .*CN *= *Quorvane Co\., Ltd\." "$work/verify.log" ||
    grep -q "Subject: /CN=Quorvane Co\., Ltd\." "$work/verify.log" ||
    fail "the signer is not Quorvane Co., Ltd.: $(grep Subject "$work/verify.log")"
  # One flipped byte in the payload must break it.
  python3 - "$setup" "$work/tampered.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[len(data) // 2] ^= 0xFF
open(sys.argv[2], "wb").write(data)
PY
  osslsigncode verify -CAfile "$ca" -in "$work/tampered.exe" >/dev/null 2>&1 &&
    fail "a changed installer still verifies"
fi

((failures == 0)) && echo "release test: passed" || exit 1
