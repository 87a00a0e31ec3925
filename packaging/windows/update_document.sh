#!/usr/bin/env bash
# update_document.sh INSTALLER VERSION URL: prints the update document
# (update.json) that offers INSTALLER, as it is, at URL.
set -euo pipefail
file=${1:?usage: update_document.sh INSTALLER VERSION URL} version=${2:?} url=${3:?}
# The values go into JSON strings unescaped: refuse what would need escaping.
for v in "$version" "$url"; do
  [[ $v != *[\"\\[:cntrl:]]* ]] || { echo "update_document: bad text: $v" >&2; exit 1; }
done
sha=$(sha256sum "$file" | cut -d' ' -f1)
size=$(stat -c %s "$file")
printf '{\n  "version": "%s",\n  "url": "%s",\n  "sha256": "%s",\n  "size": %s\n}\n' \
  "$version" "$url" "$sha" "$size"
