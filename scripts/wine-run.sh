#!/bin/bash
# wine-run.sh --prefix DIR [--arch win32|win64] PROGRAM [ARGS...]
# Runs a Win32 program under Wine for CTest (it is the build's
# CMAKE_CROSSCOMPILING_EMULATOR) and exits with the program's exit code.
#
# Some programs open windows, so they always get an X display, never the
# user's: the one named by RILLMARK_DISPLAY when a whole test run shares one
# Xvfb (scripts/win32-session.sh), or else a private Xvfb for this program.
set -uo pipefail

if [[ ${1:-} != --prefix || $# -lt 3 ]]; then
  echo "usage: wine-run.sh --prefix DIR [--arch win32|win64] PROGRAM [ARGS...]" >&2
  exit 2
fi
prefix=$2
shift 2
if [[ ${1:-} == --arch ]]; then
  export RILLMARK_WINEARCH=${2:?wine-run.sh: --arch needs win32 or win64}
  shift 2
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/wine-prefix.sh" "$prefix" || exit 1
export WINEPREFIX=$prefix
source "$here/wine-env.sh"

if [[ -n ${RILLMARK_DISPLAY:-} ]]; then
  export DISPLAY=$RILLMARK_DISPLAY
  run=("$RILLMARK_WINE" "$@")
else
  run=(xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$RILLMARK_WINE" "$@")
fi

# The program's output reaches our caller through a file that we follow,
# not through an inherited pipe. Wine starts its service processes
# (services.exe, explorer.exe /desktop, ...) from the first program that
# needs them and they inherit its stderr; as long as the wineserver lives
# they would hold CTest's pipe open, and CTest would wait for them until the
# test timed out. tail stops when the program does.
log=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
"${run[@]}" </dev/null >"$log" 2>&1 &
child=$!
tail -n +1 -s 0.2 -f --pid="$child" "$log" &
follower=$!
trap 'kill "$child" 2>/dev/null' TERM INT HUP
status=0
wait "$child" || status=$?
wait "$follower"
rm -f "$log"
exit "$status"
