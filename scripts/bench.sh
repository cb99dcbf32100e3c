#!/bin/bash
# bench.sh [BENCHMARK_ARGS...]
# Builds the native benchmarks optimised and without sanitizers in
# build/bench and runs each benchmark program once, passing on its
# arguments (for example --benchmark_filter=Synthesis).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DRILLMARK_SANITIZE=OFF
cmake --build build/bench -j "${JOBS:-$(nproc)}"

if [[ ! -d build/bench/bench ]]; then
  echo "bench: no benchmarks in this tree (bench/CMakeLists.txt missing)" >&2
  exit 1
fi
mapfile -t programs < <(find build/bench/bench -path '*/CMakeFiles' -prune \
  -o -type f -executable -print | sort)
if [[ ${#programs[@]} -eq 0 ]]; then
  echo "bench: no benchmark programs were built" >&2
  exit 1
fi
for p in "${programs[@]}"; do
  echo "=== $p ==="
  "$p" "$@"
done
