# Sourced by the Wine scripts: the environment every Wine process of a
# Rillmark build runs with. Expects WINEPREFIX to be set, and
# RILLMARK_WINEARCH to name the prefix's kind (win32, the default, or
# win64 for the 64-bit fallback build); sets RILLMARK_WINE to the loader
# that runs its programs.
#
# mscoree/mshtml disabled: a new prefix would otherwise offer to download
# Mono and Gecko in a dialog and wait for an answer. winemenubuilder
# disabled: it writes desktop menu entries into $HOME, which we never want.
export WINEARCH=${RILLMARK_WINEARCH:-win32}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [[ $WINEARCH == win64 ]]; then
  # Debian's wine script always picks the 32-bit loader when both are
  # installed; a 64-bit prefix needs the 64-bit one.
  export WINELOADER=/usr/lib/wine/wine64
  RILLMARK_WINE=$WINELOADER
else
  RILLMARK_WINE=wine
fi
