#!/usr/bin/env bash
# Sets up everything and runs every suite: Linux, the sanitizers, Windows
# under Wine, the release packages and their checks, then the benchmarks'
# figures. Exits non-zero on any failure.
#
# A build folder is removed once nothing later needs it, and the compiler
# cache is off, so the whole run fits a machine with little free disk;
# --keep keeps every build folder (and the cache) for the next run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
keep=0
case ${1:-} in
  --keep) keep=1 ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--keep]" >&2; exit 2 ;;
esac
bash scripts/setup.sh

jobs=$(nproc)
step() { printf '\n=== %s ===\n' "$*"; df -h . | awk 'NR == 2 { print "disk: " $4 " free" }'; }
done_with() { ((keep)) || rm -rf "$@"; }
((keep)) || export CCACHE_DISABLE=1

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
done_with build/linux-asan
suite linux-tsan
done_with build/linux-tsan
suite windows
# Packaging builds the one helper it takes from here again if it is gone.
done_with build/windows

step "packaging"
scripts/package.sh --test
done_with build/release-linux build/release-windows build/windows "${HOME}/.cache/linewick/wineprefix-template"

if [[ -x scripts/fuzz.sh ]]; then
  step "fuzz"
  scripts/fuzz.sh
  done_with build/fuzz
fi

step "benchmarks"
# Three runs keep the whole command well inside CI's time; run it with 5 or more by hand.
scripts/bench.sh 3
