#!/bin/bash
# bench.sh [REPORT_ARGS...]
# Builds the synthesis benchmarks optimised, natively (build/bench, no
# sanitizers) and for Win32 (build/win32, Release), and runs the report of
# each: the literal and the production pass on every benchmark scene, their
# ratio and the bare host-call floor, natively and under Wine. Arguments go
# to both reports (for example --repeat 5 or --scene b). The Google
# Benchmark program (build/bench/bench/synthesis_bench) is built too, for
# finer native measurements.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DRILLMARK_SANITIZE=OFF >/dev/null
cmake --build build/bench -j "$jobs" --target synthesis_report synthesis_bench
source scripts/wine-build.sh
win=$(rillmark_wine_build)
[[ $win == win32 ]] || rillmark_explain_win64
cmake --build "build/$win" -j "$jobs" --target synthesis_report

echo "=== native ==="
build/bench/bench/synthesis_report "$@"
echo "=== Windows ($win) under Wine ==="
scripts/wine-run.sh --prefix "$root/build/$win/wineprefix" --arch "$win" \
  "build/$win/bin/synthesis_report.exe" "$@"
