#!/usr/bin/env bash
# update_document.sh INSTALLER VERSION URL PAGE: prints the update document
# (update.json) that offers INSTALLER, as it is, at URL to Windows, and the
# same release on the download page PAGE to Linux (the "linux" entry; the
# Linux program is updated by the package manager and only points there).
set -euo pipefail
file=${1:?usage: update_document.sh INSTALLER VERSION URL PAGE} version=${2:?} url=${3:?} page=${4:?}
# The values go into JSON strings unescaped: refuse what would need escaping.
for v in "$version" "$url" "$page"; do
  [[ $v != *[\"\\[:cntrl:]]* ]] || { echo "update_document: bad text: $v" >&2; exit 1; }
done
# The program takes only https addresses with a host.
for v in "$url" "$page"; do
  [[ $v =~ ^https://[A-Za-z0-9] ]] || { echo "update_document: not an https address: $v" >&2; exit 1; }
done
sha=$(sha256sum "$file" | cut -d' ' -f1)
size=$(stat -c %s "$file")
printf '{\n  "version": "%s",\n  "url": "%s",\n  "sha256": "%s",\n  "size": %s,\n  "linux": {\n    "version": "%s",\n    "page": "%s"\n  }\n}\n' \
  "$version" "$url" "$sha" "$size" "$version" "$page"
