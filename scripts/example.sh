#!/usr/bin/env bash
# Builds zarnet and marks the shipped English sample text with the US English
# patterns; the result goes to out/en.marked. The first lines are shown with
# every break mark (byte 0xAC) printed as "-".
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZARNET_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target zarnet
mkdir -p out
./build/zarnet tests/data/real/en.txt out/en.marked patterns/en-us.pat \
  abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ
echo "marked text written to out/en.marked ($(wc -c <out/en.marked) bytes); its start, marks shown as '-':"
head -n 20 out/en.marked | LC_ALL=C tr '\254' '-'
