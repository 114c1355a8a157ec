#!/usr/bin/env bash
# Cross-builds the Windows programs (zarnet.exe and zarnet-utf8.exe, and
# zarnet_fault.exe for the fault injection) with MinGW-w64 and runs the
# end-to-end tests against them under Wine, in the plain build's test
# binaries (label "windows").
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh cmake make g++ libgtest-dev g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 wine locales \
  dpkg-dev

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi

jobs=$(nproc 2>/dev/null || echo 2)

# utf8proc and libzip, which Debian ships for Linux only, are built into
# zarnet-utf8.exe from Debian's source packages, fetched once into
# build-windows/deps.
deps_dir="$PWD/build-windows/deps"
source scripts/debian_source.sh
fetch_source utf8proc 2.8.0-1 utf8proc.c
utf8proc_source=$(unpacked utf8proc utf8proc.c)

# libzip, static, with Debian's MinGW-w64 build of zlib.
mingw_zlib=/usr/x86_64-w64-mingw32/lib/libz.a
libzip_prefix="$deps_dir/install-libzip"
static_libzip -DCMAKE_TOOLCHAIN_FILE="$PWD/scripts/mingw-w64.cmake" -DZLIB_LIBRARY="$mingw_zlib" \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include

# The built-in sets are made ready by a tool of this machine's own build.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs" --target zarnet_prepare_sets

windows_dir="$PWD/build-windows"
echo "== Windows build =="
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=scripts/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DZARNET_TESTS=OFF -DZARNET_FAULT_TOOL=ON -DZARNET_UTF8PROC_SOURCE="$utf8proc_source" \
  -DZARNET_LIBZIP_PREFIX="$libzip_prefix" -DZLIB_LIBRARY="$mingw_zlib" \
  -DZARNET_PREPARE_TOOL="$PWD/build/zarnet_prepare_sets" >/dev/null
cmake --build build-windows -j"$jobs"

# A locale whose code page is 1252 on both sides of Wine, so that argument
# bytes reach the program unchanged, and one that reads the arguments as
# UTF-8 for names in other scripts (see scripts/wine-run.sh).
mkdir -p build-windows/locale
for charset in CP1252 UTF-8; do
  if [ ! -d "build-windows/locale/en_US.$charset" ]; then
    localedef -i en_US -f "$charset" "build-windows/locale/en_US.$charset"
  fi
done

# Wine's first start makes its prefix, which takes a while. Once that start's
# server has gone, a server kept running makes each later start quick.
export WINEPREFIX="$windows_dir/wine-prefix"
scripts/wine-run.sh build-windows/zarnet.exe >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w
/usr/lib/wine/wineserver -p
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT

echo "== Windows end-to-end tests under Wine =="
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZARNET_TESTS=ON -DZARNET_WINDOWS_DIR="$windows_dir" >/dev/null
cmake --build build -j"$jobs"
# Wine, busy starting many programs at once, now and then loses a program's
# standard error (seen once in a few hundred runs, never on its own): a test
# that fails is run once more, and fails the run only if it fails again.
(cd build && ctest --output-on-failure -j"$jobs" -L windows --repeat until-pass:2)
