#!/usr/bin/env bash
# release_build_test.sh LINUX_BUILD WINDOWS_BUILD: the packages come from
# release builds (LINEWICK_RELEASE, see cmake/release.cmake), whose programs
# hold no test hook: no LINEWICK_TEST_ variable name in either program, and
# the Linux one built with Debian's hardening (bindnow, fortified calls).
set -uo pipefail
failures=0
fail() { echo "release build test: $*" >&2; failures=$((failures + 1)); }

for build in "$1" "$2"; do
  grep -qx 'LINEWICK_RELEASE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null ||
    fail "$build is not a release build (LINEWICK_RELEASE=ON)"
done
for program in "$1/linewick" "$2/installer/stage/linewick.exe"; do
  [[ -f $program ]] || { fail "no program $program"; continue; }
  hooks=$(grep -a -o 'LINEWICK_TEST_[A-Z_]*' "$program" | sort -u | tr '\n' ' ')
  [[ -z $hooks ]] || fail "$program honours test hooks: $hooks"
done
# Read whole before grep, so an early match can't fail the pipe.
dynamic=$(readelf -d -W "$1/linewick" 2>&1)
symbols=$(readelf --dyn-syms -W "$1/linewick" 2>&1)
grep -q 'BIND_NOW' <<<"$dynamic" || fail "the Linux program is not linked with -z now"
grep -o '__[a-z0-9_]*_chk' <<<"$symbols" | grep -qv '^__stack_chk$' ||
  fail "the Linux program calls no fortified functions"

((failures == 0)) && echo "release build test: passed" || exit 1
