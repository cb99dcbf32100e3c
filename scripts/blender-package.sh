#!/bin/bash
# blender-package.sh: the Blender add-on's zip, build/rillmark-blender-<version>.zip
# (scripts/blender_zip.py), with build/release's rillmark-bake (optimised,
# needing no shared library beyond the C library's) and build/win32's
# rillmark-bake.exe. Run scripts/setup.sh release win32 first (make package
# and make test do). Prints the zip's path.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
cmake --build build/release -j "$jobs" --target rillmark_bake >&2
cmake --build build/win32 -j "$jobs" --target rillmark_bake >&2
version=$(sed -n 's/^project(Rillmark VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip=build/rillmark-blender-$version.zip
python3 scripts/blender_zip.py --linux build/release/apps/bake/rillmark-bake \
  --windows build/win32/bin/rillmark-bake.exe --out "$zip" >/dev/null
echo "$zip"
