#!/usr/bin/env bash
# The soak run: the script driver with eight flood devices and two boards
# for a minute (soak.script), then the figures and what must hold of them.
# usage: soak_test.sh DRIVER WORK_DIR
set -euo pipefail
driver=$1
work=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
rm -rf "$work"
mkdir -p "$work"

demo="COM3=Arduino Uno=2341:0043:SER1;COM4=Nucleo board=0483:374B:NUC1"
for i in 1 2 3 4 5 6 7 8; do demo="FLOOD$i=Flood board $i;$demo"; done

status=0
"$driver" --demo "$demo" --docs "$work/docs" <"$here/soak.script" >"$work/out.txt" || status=$?
grep -E '^(soak_|flood )' "$work/out.txt" || true
if [[ $status -ne 0 ]]; then
  echo "soak: the driver failed (exit $status)"
  exit 1
fi

fail() {
  echo "soak: $*"
  exit 1
}
grep -q '^soak_lines_lost: 0$' "$work/out.txt" || fail "lines were lost"
[[ $(grep -c '^flood FLOOD' "$work/out.txt") -eq 8 ]] || fail "not every flood tab was checked"
# Every tab still open, nothing reported as an error.
[[ $(grep -c '^session .* state=Open' "$work/out.txt") -eq 10 ]] || fail "a tab is not open"
! grep -q '^notice: .*\[error\]' "$work/out.txt" || fail "an error notice is shown"
# Ten logs at their limits plus their series stay well below this; an
# unbounded backlog would not.
rss=$(sed -n 's/^soak_rss_mb: \([0-9]*\).*/\1/p' "$work/out.txt")
[[ -n $rss && $rss -lt 3072 ]] || fail "resident memory ${rss:-?} MiB"

# A gigabyte of recordings is not worth keeping once it has been checked.
rm -rf "$work/docs"
