#!/usr/bin/env bash
# Runs a program of the Windows build under Wine the way the tests do:
#   scripts/wine-run.sh build-windows/zarnet.exe in.txt out.txt ...
# The Wine prefix and the locale live beside the program (scripts/test_windows.sh
# makes them). The locale's code page 1252 makes Wine hand every byte of the
# arguments to the program unchanged, as a Windows system set to that code
# page does; Wine's own diagnostics are kept off standard error.
program_dir=$(cd "$(dirname "$1")" && pwd)
export WINEPREFIX="$program_dir/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec env LOCPATH="$program_dir/locale" LC_ALL=en_US.CP1252 "${WINE64:-/usr/lib/wine/wine64}" "$@"
