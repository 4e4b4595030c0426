#!/bin/sh
# A complete product-59 blade and a product-38 Kestrel blade on the emulated
# hardware, each provisioned from one identity file through promcfg-apply
# (examples/blade59.id and examples/kestrel38.id), then shown back with
# promcfg-apply --show. Each switch gets a folder of its own under $1
# (default: build/quick-start).
# Run after ./run.sh (which builds promcfg, promcfg-apply and promsim into
# build/bin), or with the three on PATH.
set -eu
base=$(realpath -m "${1:-$(dirname "$0")/../build/quick-start}")
cd "$(dirname "$0")/.."
[ -x build/bin/promcfg-apply ] && PATH=$(pwd)/build/bin:$PATH

# --- The product-59 blade -------------------------------------------------
# From blank PROMs: the file writes the product ID with the board data, and
# the blade VPD record in a later run, once the switch is a product 59.
export PROMSIM_DIR="$base/blade59"
promsim reset
promcfg-apply examples/blade59.id
promcfg-apply --show

# --- The product-38 Kestrel blade ------------------------------------------
# Product 38 has no row in the product table, so board data entry refuses
# it: promsim sets it directly.
export PROMSIM_DIR="$base/kestrel38"
promsim reset
promsim set product-id 38
promcfg-apply examples/kestrel38.id
promcfg-apply --show
