# Sourced by the Wine scripts: the environment every Wine process of a
# Rillmark build runs with. Expects WINEPREFIX to be set.
#
# mscoree/mshtml disabled: a new prefix would otherwise offer to download
# Mono and Gecko in a dialog and wait for an answer. winemenubuilder
# disabled: it writes desktop menu entries into $HOME, which we never want.
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
