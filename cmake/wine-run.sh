#!/bin/sh
# Runs a Windows test program under wine with a prefix of its own inside the
# build tree, quietly. Set LUMA_WINEPREFIX to choose the prefix.
: "${LUMA_WINEPREFIX:?LUMA_WINEPREFIX must name the build's wine prefix}"
export WINEPREFIX="$LUMA_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
