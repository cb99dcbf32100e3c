#!/bin/bash
# win32-session.sh BUILD_DIR COMMAND [ARGS...]
# Runs COMMAND (usually ctest) with one Xvfb and one running wineserver
# shared by every Wine program it starts, then stops both and exits with
# COMMAND's status. Sharing matters: Wine starts one desktop process per
# prefix, bound to the display of whichever program came first, so
# programs of one run must not each bring their own short-lived X server.
# A persistent wineserver also saves restarting Wine for every program.
set -euo pipefail

build=${1:?usage: win32-session.sh BUILD_DIR COMMAND [ARGS...]}
shift
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [[ -z ${RILLMARK_IN_XVFB:-} ]]; then
  export RILLMARK_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    "$here/win32-session.sh" "$build" "$@"
fi

prefix=$(sed -n 's/^RILLMARK_WINEPREFIX:PATH=//p' "$build/CMakeCache.txt")
prefix=${prefix:-$build/wineprefix}
arch=$(sed -n 's/^RILLMARK_WINEARCH:STRING=//p' "$build/CMakeCache.txt")
export RILLMARK_WINEARCH=${arch:-win32}
"$here/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix
source "$here/wine-env.sh"
export RILLMARK_DISPLAY=$DISPLAY

wineserver -p
stop_wine() { wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT
# The first Wine program of a session starts Wine's own services, which
# live on with the persistent wineserver and keep that program's standard
# output open. Start them here with nothing attached; wine-run.sh guards
# against the ones started later (the desktop process comes with the first
# window) by never handing Wine its caller's pipe.
"$RILLMARK_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true

status=0
"$@" || status=$?
exit $status
