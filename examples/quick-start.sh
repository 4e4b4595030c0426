#!/bin/sh
# A complete product-59 blade and a product-38 Kestrel blade on the emulated
# hardware, set up the way an operator does it: system, board and chassis
# data entered through promcfg itself, then the blade rows. Each switch gets
# a folder of its own under $1 (default: build/quick-start).
# Run after ./run.sh (which builds build/bin/promcfg and build/bin/promsim),
# or with both on PATH.
set -eu
cd "$(dirname "$0")/.."
base=$(realpath -m "${1:-build/quick-start}")
[ -x build/bin/promcfg ] && PATH=$(pwd)/build/bin:$PATH

# --- The product-59 blade -------------------------------------------------
export PROMSIM_DIR="$base/blade59"
promsim reset
# System data: Ethernet MAC, Ethernet2 MAC, WWN, VWWN.
printf '%s\n' 0a1b2c3d4e5f 0a1b2c3d4e60 1000000533aabbcc 2000000533aabbcc | promcfg -s
# Board data: product 59, code, board SN, no subassemblies, 2 ASIC MACs.
printf '%s\n' 59 PC-59 BSN-0001 0 0a1b2c3d4f00 0a1b2c3d4f01 | promcfg -b
# Chassis data: serial number, CLEI.
printf '%s\n' CH-0001 CLEI012345 | promcfg -c
promcfg -P
# The blade VPD (menu row 5: revision, date code, part, FRU, POS ID,
# manufacturer, name), then the chassis type and the IP settings (row 8).
printf '%s\n' 5 1 0126 PN-59 FRU-59 1a2b IBM "Pellan blade" 0 | promcfg -m >/dev/null
promcfg -x bc2
printf '%s\n' 8 10.0.0.5 10.0.0.1 255.255.255.0 0 | promcfg -m | grep "IP info written"
promcfg -p | grep -A3 "Fixed block data"

# --- The product-38 Kestrel blade ------------------------------------------
# Product 38 has no row in the product table, so board data entry refuses
# it: promsim sets it directly.
export PROMSIM_DIR="$base/kestrel38"
promsim reset
promsim set product-id 38
printf '%s\n' 0a1b2c3d4e5f "" "" "" | promcfg -s
printf '%s\n' CH-0038 "" | promcfg -c
# Menu row 14 (revision, product name, service tag), then row 15 prints it.
printf '%s\n' 14 A00 "Kestrel demo" TAG0038 15 0 | promcfg -m | grep "Service tag:"
