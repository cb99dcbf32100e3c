#!/bin/bash
# fuzz.sh [target...]: runs the libFuzzer targets built in build/fuzz (every
# one when none is named), each for FUZZ_SECONDS seconds (10 unless set)
# or, when FUZZ_RUNS is set, for that many inputs; FUZZ_JOBS of them at a
# time (1 unless set), at a low priority so that other work on the machine
# goes first. Build them first: scripts/setup.sh fuzz, then
# cmake --build build/fuzz --target rillmark_fuzzers (make fuzz does both).
#
# Each target starts from its seed corpus in tests/fuzz/corpus/<target> and
# from what earlier runs kept in build/fuzz/corpus/<target>. The script
# prints the inputs each target executed and fails if any target fails; the
# input that made it fail is left in build/fuzz/findings/<target>/ and the
# whole output in build/fuzz/logs/<target>.log.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(fuzz_preset_text fuzz_spinner_text fuzz_scene fuzz_synthesis fuzz_bake_inputs)
jobs=${FUZZ_JOBS:-1}

# The longest input each target is given: preset text must reach past the
# 4096-byte line limit; a spinner input is a dozen or so keys and clicks; a
# scene or a run needs room for a few dozen objects or events.
declare -A max_len=([fuzz_preset_text]=8192 [fuzz_spinner_text]=96 [fuzz_scene]=4096 [fuzz_synthesis]=1024 [fuzz_bake_inputs]=4096)

if [[ -n ${FUZZ_RUNS:-} ]]; then
  bound=(-runs="$FUZZ_RUNS")
else
  bound=(-max_total_time="${FUZZ_SECONDS:-10}")
fi

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Runs one target; its verdict line goes to build/fuzz/logs/<target>.result.
run_target() {
  local t=$1
  local program=build/fuzz/tests/fuzz/$t
  local log=build/fuzz/logs/$t.log result=build/fuzz/logs/$t.result
  local findings=build/fuzz/findings/$t corpus=build/fuzz/corpus/$t
  mkdir -p "$corpus" "$findings" build/fuzz/logs
  if [[ ! -x $program ]]; then
    printf '%-20s not built\n' "$t" >"$result"
    return 1
  fi
  echo "=== $t (${bound[*]}) started ==="
  nice -n 10 "$program" "$corpus" "tests/fuzz/corpus/$t" "${bound[@]}" \
    -max_len="${max_len[$t]:-4096}" -timeout=60 \
    -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  local status=$?
  local runs seconds verdict=passed
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  seconds=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  if [[ $status -ne 0 ]]; then
    verdict="FAILED ($status)"
    grep -a -E "ERROR|runtime error|fuzz check failed|SUMMARY|Test unit written" "$log" | head -20
  fi
  printf '%-20s %12s inputs in %5s s  %s\n' "$t" "${runs:-?}" "${seconds:-?}" "$verdict" >"$result"
  echo "=== $t: $verdict ==="
  [[ $status -eq 0 ]]
}

failed=0
running=0
for t in "${targets[@]}"; do
  if [[ $running -ge $jobs ]]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_target "$t" &
  running=$((running + 1))
done
while [[ $running -gt 0 ]]; do
  wait -n || failed=1
  running=$((running - 1))
done

echo "=== fuzz summary ==="
for t in "${targets[@]}"; do cat "build/fuzz/logs/$t.result"; done
exit $failed
