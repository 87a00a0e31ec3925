#!/usr/bin/env bash
# Sets up everything and runs every suite: Linux, the sanitizers, Windows
# under Wine, the release packages and their checks, then the benchmarks'
# figures. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh

jobs=$(nproc)
step() { printf '\n=== %s ===\n' "$*"; }

suite() {
  local preset=$1
  step "build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  step "test $preset"
  ctest --preset "$preset"
}

suite linux
# ctest keeps a passing test's output to itself; the soak's figures matter.
step "soak figures"
grep -E '^(soak_|flood )' build/linux/tests/soak/work/out.txt
suite linux-asan
suite linux-tsan
suite windows

step "packaging"
scripts/package.sh --test

if [[ -x scripts/fuzz.sh ]]; then
  step "fuzz"
  scripts/fuzz.sh
fi

step "benchmarks"
# Three runs keep the whole command well inside CI's time; run it with 5 or more by hand.
scripts/bench.sh 3
