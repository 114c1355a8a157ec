#!/usr/bin/env bash
# Builds the Rust peer (scripts/peer-rust) offline from Debian's vendored
# crates: librust-hyphenation-dev and its dependencies under
# /usr/share/cargo/registry (installed with apt-get when missing, as root).
#
#   scripts/peer-rust/build.sh [OUTDIR]   (default: ${TMPDIR:-/tmp}/zarnet-rust-peer)
#
# Leaves OUTDIR/zarnet_rust_peer; nothing is written into the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
outdir=${1:-${TMPDIR:-/tmp}/zarnet-rust-peer}
mkdir -p "$outdir"
registry=/usr/share/cargo/registry
if [ ! -d "$registry/hyphenation-0.7.1" ]; then
  if [ "$(id -u)" = 0 ]; then
    apt-get install -y -q=2 librust-hyphenation-dev >&2
  else
    echo "build.sh: install librust-hyphenation-dev first" >&2
    exit 1
  fi
fi
command -v cargo >/dev/null || { echo "build.sh: cargo is missing (apt-get install cargo)" >&2; exit 1; }
mkdir -p "$outdir/cargo-home"
cat >"$outdir/cargo-home/config.toml" <<CONFIG
[source.crates-io]
replace-with = "debian"
[source.debian]
directory = "$registry"
[net]
offline = true
CONFIG
CARGO_HOME=$outdir/cargo-home cargo build --release --offline --quiet \
  --manifest-path "$root/Cargo.toml" --target-dir "$outdir/target"
cp "$outdir/target/release/zarnet_rust_peer" "$outdir/zarnet_rust_peer"
echo "build.sh: Rust peer in $outdir/zarnet_rust_peer"
