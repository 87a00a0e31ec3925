#!/usr/bin/env bash
# Runs every benchmark of the Linux build; each prints "name: value unit" lines.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
[[ -d build/linux/bench ]] || { echo "bench: build the linux preset first" >&2; exit 1; }
shopt -s nullglob
for b in build/linux/bench/*_bench; do
  echo "--- $(basename "$b")"
  "$b"
done
