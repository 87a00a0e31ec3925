#!/usr/bin/env bash
# Runs every benchmark of the Linux build, and a short soak, RUNS times (5 by
# default) and prints each figure as the median of the runs with the minimum
# and maximum beside it, and its goal where it has one. The machine is shared
# and noisy: one run says little, the median of several a little more.
# usage: scripts/bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
runs=${1:-5}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "usage: scripts/bench.sh [RUNS]" >&2; exit 2; }
[[ -d build/linux/bench ]] || { echo "bench: build the linux preset first" >&2; exit 1; }

# The goals, one figure a line: "name >= value" or "name <= value".
goals='
e2e_pty_mb_per_s >= 80
e2e_pty_cpu_s_per_mb <= 0.015
e2e_pty_vs_plain >= 5
e2e_pty_rss_mb <= 120
e2e_pty_rss_end_mb <= 120
e2e_pty_lines_lost <= 0
pipeline_app_mb_per_s >= 500
measure_lines_per_s >= 10000000
measure_csv_lines_per_s >= 6000000
paint_ms_p99 <= 4
soak_paint_cpu_ms_p99 <= 6
soak_rss_mb <= 200
soak_lines_lost <= 0
'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every "name: value unit" line of every run, as "name value unit".
figures="$work/figures.txt"
: >"$figures"
collect() { sed -n 's/^\([a-z0-9_]*\): \([-0-9.e+]*\)\( .*\)\{0,1\}$/\1 \2\3/p' >>"$figures"; }

# The soak, shortened: ten tabs fill their logs and series well within 20 s.
soak() {
  local driver=build/linux/tests/tools/linewick_driver
  [[ -x $driver ]] || return 0
  local demo="COM3=Arduino Uno=2341:0043:SER1;COM4=Nucleo board=0483:374B:NUC1"
  for i in 1 2 3 4 5 6 7 8; do demo="FLOOD$i=Flood board $i;$demo"; done
  sed 's/^wait 60000$/wait 20000/' tests/soak/soak.script >"$work/soak.script"
  grep -q '^wait 20000$' "$work/soak.script" || { echo "bench: the soak script has no 'wait 60000'" >&2; return 1; }
  rm -rf "$work/soak"
  "$driver" --demo "$demo" --docs "$work/soak" <"$work/soak.script" | grep '^soak_'
  rm -rf "$work/soak"
}

shopt -s nullglob
for ((run = 1; run <= runs; run++)); do
  echo "--- run $run of $runs" >&2
  for b in build/linux/bench/*_bench; do
    "$b" | collect
  done
  soak | collect
done

# Per figure, in the order first seen: median, minimum, maximum, unit, goal.
awk -v runs="$runs" -v goals="$goals" '
  BEGIN {
    n = split(goals, lines, "\n")
    for (i = 1; i <= n; i++) if (split(lines[i], g, " ") == 3) { op[g[1]] = g[2]; want[g[1]] = g[3] }
  }
  {
    name = $1
    if (!(name in count)) { order[++names] = name; unit[name] = $3 }
    values[name, ++count[name]] = $2 + 0
  }
  function fmt(x) { return x >= 100 || x <= -100 ? sprintf("%.0f", x) : sprintf("%.3g", x) }
  END {
    for (k = 1; k <= names; k++) {
      name = order[k]; c = count[name]
      for (i = 1; i <= c; i++) v[i] = values[name, i]
      for (i = 2; i <= c; i++) { x = v[i]; for (j = i - 1; j >= 1 && v[j] > x; j--) v[j + 1] = v[j]; v[j + 1] = x }
      median = c % 2 ? v[(c + 1) / 2] : (v[c / 2] + v[c / 2 + 1]) / 2
      line = sprintf("%s: %s%s (min %s, max %s, %d runs)", name, fmt(median),
                     unit[name] == "" ? "" : " " unit[name], fmt(v[1]), fmt(v[c]), c)
      if (name in op) {
        met = op[name] == ">=" ? median >= want[name] : median <= want[name]
        line = line sprintf("  goal %s %s: %s", op[name], want[name], met ? "met" : "not met")
      }
      print line
    }
  }' "$figures"
