#!/bin/sh
# Builds the packages into build-package/packages:
#   promcfg-sim_<version>_<arch>.deb   the tool on the emulated platform,
#                                      with promsim, manuals and completion.
# Installs the Debian packages it needs when they are missing.
set -eu
cd "$(dirname "$0")"
./setup-deps.sh package
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DPROMCFG_BUILD_TESTS=OFF -DPROMCFG_BUILD_BENCH=OFF
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack)
ls build-package/packages/*.deb
