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
# The folder of the unpacked source of $1 that holds the file $2.
unpacked() {
  find "$deps_dir" -mindepth 2 -maxdepth 2 -path "*/$1-*/$2" -printf '%h\n' 2>/dev/null | head -n 1 || true
}
# Fetches the source package $1, Debian 12's version $2 or whatever the
# archive holds now, unless a folder of it holding $3 is there.
fetch_source() {
  [ -n "$(unpacked "$1" "$3")" ] && return 0
  # apt-get source needs a deb-src entry; Debian 12 keeps its sources in
  # deb822 files, so one is added in that form when there is none.
  if ! grep -qsE '^[[:space:]]*Types:.*deb-src' /etc/apt/sources.list.d/*.sources &&
     ! grep -qsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list; then
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm bookworm-updates' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      "${sudo[@]}" tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  fi
  "${sudo[@]}" apt-get update -q
  mkdir -p "$deps_dir"
  (cd "$deps_dir" && { apt-get source -q "$1=$2" || apt-get source -q "$1"; })
  [ -n "$(unpacked "$1" "$3")" ] || { echo "$1's source did not unpack in $deps_dir" >&2; exit 1; }
}
fetch_source utf8proc 2.8.0-1 utf8proc.c
fetch_source libzip 1.7.3-1 libzip.pc.in
utf8proc_source=$(unpacked utf8proc utf8proc.c)
libzip_source=$(unpacked libzip libzip.pc.in)

# libzip, static, with zlib (Debian's MinGW-w64 build of it) and nothing
# else: books are stored or deflated, and never encrypted.
mingw_zlib=/usr/x86_64-w64-mingw32/lib/libz.a
libzip_prefix="$deps_dir/install-libzip"
if [ ! -f "$libzip_prefix/lib/libzip.a" ]; then
  echo "== libzip for Windows =="
  cmake -S "$libzip_source" -B "$deps_dir/build-libzip" -DCMAKE_TOOLCHAIN_FILE="$PWD/scripts/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$libzip_prefix" -DBUILD_SHARED_LIBS=OFF \
    -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF \
    -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
    -DZLIB_LIBRARY="$mingw_zlib" -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
  cmake --build "$deps_dir/build-libzip" -j"$jobs"
  cmake --install "$deps_dir/build-libzip" >/dev/null
fi

windows_dir="$PWD/build-windows"
echo "== Windows build =="
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=scripts/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DZARNET_TESTS=OFF -DZARNET_FAULT_TOOL=ON -DZARNET_UTF8PROC_SOURCE="$utf8proc_source" \
  -DZARNET_LIBZIP_PREFIX="$libzip_prefix" -DZLIB_LIBRARY="$mingw_zlib" >/dev/null
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
