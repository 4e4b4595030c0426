#!/bin/sh
# Builds promcfg on the emulated platform and starts it (arguments pass on
# to promcfg; with none it opens the main configuration menu). The emulated
# hardware lives in $PROMSIM_DIR, by default ~/.local/state/promcfg/sim.
set -eu
cd "$(dirname "$0")"
./setup-deps.sh native >&2
cmake -S . -B build >&2
cmake --build build -j "$(nproc)" --target promcfg promsim promcfg-apply >&2
exec build/bin/promcfg "$@"
