#!/usr/bin/env bash
# Runs a program of the Windows build under Wine the way the tests do:
#   scripts/wine-run.sh build-windows/zarnet.exe in.txt out.txt ...
# The Wine prefix and the locales live beside the program (scripts/test_windows.sh
# makes them). Wine's own diagnostics are kept off standard error.
#
# Either way the program runs on a Windows system set to code page 1252
# (Wine takes it from the locale's language, en_US). What differs is how
# the arguments are read on this side:
# - by default (locale en_US.CP1252) every byte of the arguments reaches the
#   program unchanged, as on a Windows system set to that code page;
# - with WINE_RUN_CHARSET=UTF-8 (locale en_US.UTF-8) the arguments are read as
#   UTF-8, so names in any script (Łódź.txt, Привет.txt) reach the program as
#   the characters they are, and Wine keeps file names in UTF-8 on disk.
program_dir=$(cd "$(dirname "$1")" && pwd)
export WINEPREFIX="$program_dir/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec env LOCPATH="$program_dir/locale" LC_ALL="en_US.${WINE_RUN_CHARSET:-CP1252}" "${WINE64:-/usr/lib/wine/wine64}" "$@"
