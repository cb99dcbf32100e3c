#!/bin/bash
# wine-prefix.sh DIR [win32|win64]
# Creates and initialises the Wine prefix DIR, of the kind named (win32
# unless told), once; does nothing if it is ready. Safe to call from several processes at once: the first one builds
# the prefix while the others wait on the lock. A prefix left half made by
# an interrupted run has no ready marker and is made again.
set -euo pipefail

prefix=${1:?usage: wine-prefix.sh DIR [win32|win64]}
export RILLMARK_WINEARCH=${2:-${RILLMARK_WINEARCH:-win32}}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
marker=$prefix/.rillmark-ready

# Wine's own fonts (Marlett for the caption glyphs, the MS Sans Serif
# bitmaps, Tahoma) sit in its data folder, where Debian's Wine does not
# look; a Windows installation has them in its Fonts folder, so they go
# there.
install_fonts() {
  local fonts=$prefix/drive_c/windows/Fonts
  [[ -d /usr/share/wine/fonts && -d $fonts ]] || return 0
  cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts"/ 2>/dev/null || true
}

if [[ -f $marker ]]; then
  install_fonts
  exit 0
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=$prefix
source "$here/wine-env.sh"

exec 9>"$prefix.lock"
flock 9
[[ -f $marker ]] && exit 0

rm -rf "$prefix"
echo "wine-prefix: initialising $prefix" >&2
start=$SECONDS
log=$prefix.init.log
# No display: nothing shown during initialisation needs one, and without
# one nothing can wait for a click.
if ! env -u DISPLAY "$RILLMARK_WINE" wineboot -i </dev/null >"$log" 2>&1; then
  cat "$log" >&2
  echo "wine-prefix: wineboot failed" >&2
  exit 1
fi
# A crashing test must print its backtrace and exit, not wait in a dialog.
env -u DISPLAY "$RILLMARK_WINE" reg add 'HKCU\Software\Wine\WineDbg' \
  /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >>"$log" 2>&1
# wineboot returns before the registry is written out; the prefix is only
# complete once its wineserver has finished.
wineserver -w
install_fonts
touch "$marker"
echo "wine-prefix: ready in $((SECONDS - start)) s" >&2
