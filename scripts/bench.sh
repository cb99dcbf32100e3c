#!/bin/bash
# bench.sh [REPORT_ARGS...]
# Builds the synthesis benchmarks optimised, natively (build/bench, no
# sanitizers) and for Windows (build/win32, Release; build/win64 where
# 32-bit Wine cannot run, see wine-build.sh), and runs the report of each:
# the literal and the production pass on every benchmark scene, their ratio
# and the bare host-call floor, natively and under Wine. Arguments go to
# both reports (for example --repeat 5 or --scene b). The Google Benchmark
# program (build/bench/bench/synthesis_bench) is built too, for finer
# native measurements.
#
# Then rillmark-bake natively: scene (a) baked to a PC2 on one thread and on
# every core, and one OBJ frame written the old way and the new.
#
# Then whole runs of scenes (a) and (d) through the real panel under Wine
# (the Win32 test host's --bench-run), set beside the literal pass of the
# same scene from the Windows report, and the time from an Escape key
# pressed mid-run to the end of the run. Skipped when the arguments choose
# scenes without (a) or (d). Last, scene (a) baked through the Blender
# add-on beside Blender's own Dynamic Paint (bench/blender_bench.py).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DRILLMARK_SANITIZE=OFF >/dev/null
cmake --build build/bench -j "$jobs" --target synthesis_report synthesis_bench bake_report
source scripts/wine-build.sh
win=$(rillmark_wine_build)
[[ $win == win32 ]] || rillmark_explain_win64
cmake --build "build/$win" -j "$jobs" --target synthesis_report rillmark_win32_host

echo "=== native ==="
build/bench/bench/synthesis_report "$@"
echo "=== rillmark-bake (native, optimised) ==="
build/bench/bench/bake_report "$@"
echo "=== Windows ($win) under Wine ==="
report=$(mktemp)
trap 'rm -f "$report"' EXIT
# Wine's console ends lines with CR LF.
scripts/wine-run.sh --prefix "$root/build/$win/wineprefix" --arch "$win" \
  "build/$win/bin/synthesis_report.exe" "$@" | tr -d '\r' | tee "$report"

# The report's Wine services are bound to its own short-lived X server; the
# whole runs start Wine anew on the session's server.
WINEPREFIX="$root/build/$win/wineprefix" wineserver -w

# The literal pass of scene $1 in the Windows report, in ms, or nothing.
literal_ms() { sed -n "s/^  literal pass of ($1): \([0-9.]*\) ms$/\1/p" "$report"; }

whole_run() {
  (cd "build/$win/bin" && "$root/scripts/win32-session.sh" "$root/build/$win" \
    "$root/scripts/wine-run.sh" --prefix "$root/build/$win/wineprefix" --arch "$win" \
    rillmark_win32_host.exe --bench-run "$@") | tr -d '\r' | grep -v '^ok: '
}

for scene in a d; do
  literal=$(literal_ms "$scene")
  [[ -n $literal ]] || continue
  echo "=== scene ($scene): a whole run through the real panel, Windows ($win) under Wine ==="
  out=$(whole_run "$scene")
  echo "$out"
  run=$(sed -n 's/^whole run ([a-d]) through the panel: \([0-9.]*\) ms.*/\1/p' <<<"$out")
  [[ -n $run ]] && awk -v l="$literal" -v r="$run" \
    'BEGIN { printf "  literal pass over the same events %.2f ms; whole run %.2f ms; literal/whole run %.1fx\n", l, r, l / r }'
  if [[ $scene == a ]]; then
    echo "=== scene (a): Escape pressed mid-run (real input) ==="
    whole_run a --escape
  fi
done

# Scene (a) in Blender: the add-on's whole bake (with the released
# rillmark-bake of build/release) beside Blender's own Dynamic Paint wave
# surface.
if [[ -n $(literal_ms a) ]]; then
  echo "=== scene (a) in Blender: the add-on's bake beside Dynamic Paint ==="
  cmake --build build/release -j "$jobs" --target rillmark_bake
  python3 scripts/blender_zip.py --linux build/release/apps/bake/rillmark-bake \
    --out build/bench/rillmark-blender-bench.zip >/dev/null
  scripts/blender-run.sh bench/blender_bench.py build/bench/rillmark-blender-bench.zip |
    grep -E '^(Blender [0-9.]+: |  )'
fi
