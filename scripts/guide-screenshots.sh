#!/bin/bash
# guide-screenshots.sh: takes the screenshots of the online reference anew.
# Runs the Win32 test host's real-input session (Rillmark.tsx under Wine,
# headless X server) and converts the windows it captured to PNG in
# docs/guide/images. Run scripts/setup.sh win32 first (make test does).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
cmake --build build/win32 -j "${JOBS:-$(nproc)}" --target rillmark_win32_host rillmark_guide
shots=$root/build/win32/bin/screenshots
rm -rf "$shots"
(cd build/win32/bin && "$root/scripts/win32-session.sh" "$root/build/win32" \
  "$root/scripts/wine-run.sh" --prefix "$root/build/win32/wineprefix" rillmark_win32_host.exe --panel-run screenshots)
for bmp in "$shots"/*.bmp; do
  png=docs/guide/images/$(basename "${bmp%.bmp}").png
  # No timestamps or other chunks that change from run to run.
  convert "$bmp" -strip -define png:exclude-chunks=date,time "$png"
  echo "wrote $png"
done
