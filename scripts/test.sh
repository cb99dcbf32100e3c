#!/bin/bash
# test.sh: builds the configured build folders and runs both test suites,
# the native one (sanitizers on) and the Win32 one under Wine with one
# shared Xvfb, then each fuzz target for a short while (RILLMARK_FUZZ_SECONDS,
# 12 unless set), then the released rillmark-bake: built optimised, packaged
# as a .deb and checked from the unpacked package (release.sh check), then
# the Blender add-on's tests in background Blender, from its zip. Every
# stage runs even when one before it fails; the script fails if any build,
# suite, fuzz target or the release check fails or if a suite ran no test.
# Run scripts/setup.sh first (make test does).
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
  source scripts/wine-build.sh
  local build=build/win32
  if ! rillmark_runs_32bit; then
    rillmark_explain_win64
    build=build/win64
    cmake --build "$build" -j "$jobs" || return
  fi
  # -V shows each program's own output, so the log names every test case.
  # One at a time: the programs share one screen, one focus and one
  # foreground window, and several of them open windows and dialogs.
  scripts/win32-session.sh "$build" \
    ctest --test-dir "$build" -j 1 --timeout "$timeout" \
      --no-tests=error --output-on-failure -V
}

# The Blender add-on from its zip (the package's: build/release's and
# build/win32's programs) in background Blender, a few seconds.
run_blender() {
  local zip
  zip=$(scripts/blender-package.sh) || return
  scripts/blender-run.sh tests/blender/test_addon.py "$zip"
}

run_fuzz() {
  cmake --build build/fuzz -j "$jobs" --target rillmark_fuzzers || return
  FUZZ_RUNS= FUZZ_SECONDS=${RILLMARK_FUZZ_SECONDS:-12} scripts/fuzz.sh
}

echo "=== native: build and test (build/native) ==="
run_native; native=$?
echo "=== win32: build and test under Wine (build/win32, or build/win64 where 32-bit Wine cannot run) ==="
run_win32; win32=$?

echo "=== fuzz: build and short runs (build/fuzz) ==="
run_fuzz; fuzz=$?

echo "=== release: rillmark-bake optimised, its .deb checked (build/release) ==="
scripts/release.sh check; release=$?

echo "=== blender: the add-on's tests in Blender (build/rillmark-blender-*.zip) ==="
run_blender; blender=$?

verdict() { [[ $1 -eq 0 ]] && echo passed || echo "FAILED ($1)"; }
echo "=== native suite: $(verdict $native); win32 suite: $(verdict $win32); fuzz targets: $(verdict $fuzz);" \
  "release: $(verdict $release); blender add-on: $(verdict $blender) ==="
[[ $native -eq 0 && $win32 -eq 0 && $fuzz -eq 0 && $release -eq 0 && $blender -eq 0 ]]
