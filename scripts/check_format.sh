#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format (the
# project's .clang-format) makes of it, and names the files.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
format=${CLANG_FORMAT:-$(command -v clang-format-14 || command -v clang-format)}
mapfile -d '' files < <(find src tests bench fuzz tools -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
bad=$("$format" --dry-run "${files[@]}" 2>&1 | sed -n 's/^\(.*\):[0-9]*:[0-9]*: warning: .*/\1/p' | sort -u)
if [[ -n $bad ]]; then
  echo "not formatted (clang-format -i these files):" >&2
  echo "$bad" >&2
  exit 1
fi
echo "format: ${#files[@]} files formatted"
