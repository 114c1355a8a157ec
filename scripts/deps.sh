#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test tools this machine lacks.
# Extra package names may be given as arguments.
set -euo pipefail

wanted=(cmake make g++ libgtest-dev libutf8proc-dev libzip-dev valgrind python3 groff-base strace dpkg-dev lintian
        texlive-binaries unicode-data chromium epubcheck pandoc "$@")
missing=()
for package in "${wanted[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
echo "installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
