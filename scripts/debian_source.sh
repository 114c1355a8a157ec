# Fetching Debian's source packages, for libraries built into a program
# from their source: sourced by the scripts that need them, with $deps_dir
# (where sources unpack) and $sudo (an array) set.

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

# Builds libzip static from Debian's source, with zlib and nothing else
# (books are stored or deflated, and never encrypted), into
# $deps_dir/install-libzip; extra arguments go to its CMake (a toolchain,
# zlib's place).
static_libzip() {
  fetch_source libzip 1.7.3-1 libzip.pc.in
  local source prefix=$deps_dir/install-libzip
  source=$(unpacked libzip libzip.pc.in)
  if [ ! -f "$prefix/lib/libzip.a" ]; then
    echo "== libzip, static, from Debian's source =="
    cmake -S "$source" -B "$deps_dir/build-libzip" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF \
      -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF \
      -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
      -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF "$@" >/dev/null
    cmake --build "$deps_dir/build-libzip" -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
    cmake --install "$deps_dir/build-libzip" >/dev/null
  fi
}
