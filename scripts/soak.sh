#!/bin/bash
# soak.sh [SECONDS] [SEED]
# The Win32 test host's soak for as long as asked (600 s and seed 1 unless
# given): the real plug-in under seeded random real input and host events,
# under Wine with one Xvfb, invariants checked all along. Builds the
# Windows build folder Wine can run here (build/win32, or build/win64 where
# 32-bit Wine cannot run; see wine-build.sh). Prints the actions done per
# kind, the runs started, the files written, the figures of the last scene
# check and the seed; on a failure, the seed and the last 50 actions.
# RILLMARK_SOAK_VERBOSE=1 prints every action as it is done.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
seconds=${1:-600}
seed=${2:-1}

source scripts/wine-build.sh
win=$(rillmark_wine_build)
[[ $win == win32 ]] || rillmark_explain_win64
cmake --build "build/$win" -j "$jobs" --target rillmark_win32_host

cd "build/$win/bin"
"$root/scripts/win32-session.sh" "$root/build/$win" \
  "$root/scripts/wine-run.sh" --prefix "$root/build/$win/wineprefix" --arch "$win" \
  rillmark_win32_host.exe --soak "$seconds" --seed "$seed" | grep --line-buffered -v '^ok: '
