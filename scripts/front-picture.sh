#!/bin/bash
# front-picture.sh: makes docs/rillmark.png, the front page's picture: the
# guide's screenshot of the panel during a run beside a frame of the
# demo's ripples. Run after scripts/guide-screenshots.sh when the panel's
# look changes, or when the demo's scene does.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
frame=60
out=build/front-picture

scripts/setup.sh native
cmake --build build/native -j "$(nproc)" --target rillmark_demo
build/native/apps/demo/rillmark_demo --out "$out" >/dev/null
panel=docs/guide/images/run_in_progress.png
height=$(identify -format '%h' "$panel")
# The frame at the panel's height, side by side on white with a margin.
convert "$panel" \( -size 12x"$height" xc:white \) \
  \( "$out/frame_$(printf %04d $frame).png" -resize "${height}x${height}" \) \
  +append +repage -bordercolor white -border 8 -depth 8 docs/rillmark.png
echo "front-picture: wrote docs/rillmark.png"
