#!/bin/bash
# wine-run.sh --prefix DIR PROGRAM [ARGS...]
# Runs a Win32 program under Wine for CTest (it is the build's
# CMAKE_CROSSCOMPILING_EMULATOR) and exits with the program's exit code.
#
# Some programs open windows, so they always get an X display, never the
# user's: the one named by RILLMARK_DISPLAY when a whole test run shares one
# Xvfb (scripts/win32-session.sh), or else a private Xvfb for this program.
set -euo pipefail

if [[ ${1:-} != --prefix || $# -lt 3 ]]; then
  echo "usage: wine-run.sh --prefix DIR PROGRAM [ARGS...]" >&2
  exit 2
fi
prefix=$2
shift 2

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix
source "$here/wine-env.sh"

if [[ -n ${RILLMARK_DISPLAY:-} ]]; then
  export DISPLAY=$RILLMARK_DISPLAY
  exec wine "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" wine "$@"
