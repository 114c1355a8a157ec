#!/usr/bin/env bash
# Builds libzip static from Debian's source package into build-deps (once)
# and prints the folder it is installed in, for -DZARNET_LIBZIP_PREFIX:
# Debian ships libzip shared only, and zarnet-utf8 then starts and runs
# slower than when it is linked whole.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
deps_dir="$PWD/build-deps"
source scripts/debian_source.sh
static_libzip >&2
echo "$deps_dir/install-libzip"
