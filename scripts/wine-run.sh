#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest. The prefix is created on first
# use (under a lock, since tests run in parallel). Output goes through a file
# so that Wine's background services never hold CTest's pipe open.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=${WINEPREFIX:-${HOME}/.cache/linewick/wineprefix}
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  "$here/wine-prefix.sh" "$prefix"
) 9>"$prefix.lock"
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
