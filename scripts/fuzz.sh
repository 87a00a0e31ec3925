#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, address and undefined-behaviour
# sanitizers) and runs each for a bounded time on a copy of its seed corpus,
# so the repository stays untouched. Prints "fuzz_<name>_execs: N" per target
# and fails when any target crashes or finds a broken property.
#
#   FUZZ_SECONDS    time per target (default 30)
#   FUZZ_BUILD_DIR  build folder (default build/fuzz, the preset's)
#   FUZZ_TARGETS    names to run, space-separated (default all)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${FUZZ_SECONDS:-30}
build=${FUZZ_BUILD_DIR:-build/fuzz}

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target fuzz_targets -j "$(nproc)"

targets=${FUZZ_TARGETS:-$(cat "$build/fuzz/targets.txt")}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for t in $targets; do
  exe=$build/fuzz/fuzz_$t
  work=$build/fuzz-work/$t
  mkdir -p "$work/corpus" "$work/crashes"
  # Inputs found by earlier runs stay; the seeds are copied in again.
  cp -R "fuzz/corpus/$t/." "$work/corpus/"
  opts=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 -print_final_stats=1
        -artifact_prefix="$work/crashes/")
  case $t in
    splitter) opts+=(-max_len=12000) ;;  # past the 4096-byte line limit
    *) opts+=(-max_len=4096) ;;
  esac
  [[ -f fuzz/dict/$t.dict ]] && opts+=(-dict="fuzz/dict/$t.dict")
  if "$exe" "${opts[@]}" "$work/corpus" >"$work/log" 2>&1; then
    status=ok
  else
    status=FAILED
    failed+=("$t")
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  echo "fuzz_${t}_execs: ${execs:-0}"
  if [[ $status == FAILED ]]; then
    echo "fuzz_$t: FAILED (log: $work/log, inputs: $work/crashes/)" >&2
    grep -E 'property violated|ERROR|runtime error|SUMMARY' "$work/log" | head -n 20 >&2 || true
  fi
done

if ((${#failed[@]} > 0)); then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: all targets clean"
