#!/bin/bash
# fuzz.sh [target...]: runs the libFuzzer targets built in build/fuzz (all
# four when none is named), one after another, each for FUZZ_SECONDS
# seconds (10 unless set) or, when FUZZ_RUNS is set, for that many inputs.
# Build them first: scripts/setup.sh fuzz, then
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
[[ ${#targets[@]} -gt 0 ]] || targets=(fuzz_preset_text fuzz_spinner_text fuzz_scene fuzz_synthesis)

# The longest input each target is given: preset text must reach past the
# 4096-byte line limit; a spinner input is a few keystrokes; a scene or a
# run needs room for a few dozen objects or events.
declare -A max_len=([fuzz_preset_text]=8192 [fuzz_spinner_text]=256 [fuzz_scene]=4096 [fuzz_synthesis]=1024)

if [[ -n ${FUZZ_RUNS:-} ]]; then
  bound=(-runs="$FUZZ_RUNS")
else
  bound=(-max_total_time="${FUZZ_SECONDS:-10}")
fi

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
summary=()
for t in "${targets[@]}"; do
  program=build/fuzz/tests/fuzz/$t
  if [[ ! -x $program ]]; then
    echo "fuzz: $program is not built" >&2
    failed=1
    continue
  fi
  corpus=build/fuzz/corpus/$t
  findings=build/fuzz/findings/$t
  log=build/fuzz/logs/$t.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "=== $t (${bound[*]}) ==="
  "$program" "$corpus" "tests/fuzz/corpus/$t" "${bound[@]}" \
    -max_len="${max_len[$t]:-4096}" -timeout=60 \
    -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  seconds=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  if [[ $status -eq 0 ]]; then
    verdict=passed
  else
    verdict="FAILED ($status)"
    failed=1
    grep -a -E "ERROR|runtime error|fuzz check failed|SUMMARY|Test unit written" "$log" | head -20
  fi
  summary+=("$(printf '%-20s %12s inputs in %5s s  %s' "$t" "${runs:-?}" "${seconds:-?}" "$verdict")")
done

echo "=== fuzz summary ==="
printf '%s\n' "${summary[@]}"
exit $failed
