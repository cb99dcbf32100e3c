#!/bin/bash
# test.sh: builds both configured build folders and runs both test suites,
# the native one (sanitizers on) and the Win32 one under Wine with one shared
# Xvfb. Both suites run even when the first fails; the script fails if either
# build or suite fails or if a suite ran no test. Run scripts/setup.sh first
# (make test does).
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
# A hung test must not eat the whole CI budget.
timeout=${RILLMARK_TEST_TIMEOUT:-600}

run_native() {
  cmake --build build/native -j "$jobs" || return
  ctest --test-dir build/native -j "$jobs" --timeout "$timeout" \
    --no-tests=error --output-on-failure
}

run_win32() {
  cmake --build build/win32 -j "$jobs" || return
  # -V shows each program's own output, so the log names every test case.
  # One at a time: the programs share one screen, one focus and one
  # foreground window, and several of them open windows and dialogs.
  scripts/win32-session.sh build/win32 \
    ctest --test-dir build/win32 -j 1 --timeout "$timeout" \
      --no-tests=error --output-on-failure -V
}

echo "=== native: build and test (build/native) ==="
run_native; native=$?
echo "=== win32: build and test under Wine (build/win32) ==="
run_win32; win32=$?

verdict() { [[ $1 -eq 0 ]] && echo passed || echo "FAILED ($1)"; }
echo "=== native suite: $(verdict $native); win32 suite: $(verdict $win32) ==="
[[ $native -eq 0 && $win32 -eq 0 ]]
