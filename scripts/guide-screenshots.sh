#!/bin/bash
# guide-screenshots.sh: takes the screenshots of the online reference anew.
# Runs the Win32 test host's real-input session (Rillmark.tsx under Wine,
# headless X server) and converts the windows it captured to PNG in
# docs/guide/images. Run scripts/setup.sh win32 first (make test does).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/wine-build.sh
win=$(rillmark_wine_build)
[[ $win == win32 ]] || rillmark_explain_win64
cmake --build "build/$win" -j "${JOBS:-$(nproc)}" --target rillmark_win32_host rillmark_guide
shots=$root/build/$win/bin/screenshots
rm -rf "$shots"
(cd "build/$win/bin" && "$root/scripts/win32-session.sh" "$root/build/$win" \
  "$root/scripts/wine-run.sh" --prefix "$root/build/$win/wineprefix" --arch "$win" \
  rillmark_win32_host.exe --panel-run screenshots)
for bmp in "$shots"/*.bmp; do
  png=docs/guide/images/$(basename "${bmp%.bmp}").png
  # No timestamps or other chunks that change from run to run.
  convert "$bmp" -strip -define png:exclude-chunks=date,time "$png"
  echo "wrote $png"
done
