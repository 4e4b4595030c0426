#!/bin/sh
# Builds the packages:
#   build-package/packages/promcfg-sim_<version>_<arch>.deb
#       the tool on the emulated platform, with promsim, manuals and
#       completion, for this machine;
#   build-switch/packages/promcfg_<version>_powerpc.deb and .tar.gz
#       the switch tools and their manuals, for the switch. Built against a
#       stand-in of the switch's sysroot (packaging/switch-sysroot), or the
#       real one when PROMCFG_PLATFORM_SYSROOT names it;
#   build-package/packages/promcfg-switch-<version>.tar.gz
#       the Ansible collection promcfg.switch (collection/), for the
#       controller: ansible-galaxy collection install FILE.
# Installs the Debian packages it needs when they are missing.
set -eu
cd "$(dirname "$0")"
./setup-deps.sh package

cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DPROMCFG_BUILD_TESTS=OFF
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack)

sysroot=${PROMCFG_PLATFORM_SYSROOT:-}
if [ -z "$sysroot" ]; then
    sysroot=$(pwd)/build-switch/stub-sysroot
    packaging/switch-sysroot/make-stub-sysroot.sh "$sysroot"
fi
cmake -S . -B build-switch -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_TOOLCHAIN_FILE="$(pwd)/cmake/powerpc-linux-gnu.cmake" \
  -DPROMCFG_PLATFORM_SYSROOT="$sysroot" -DPROMCFG_BUILD_TESTS=OFF
cmake --build build-switch -j "$(nproc)"
(cd build-switch && cpack)

# The collection carries the project's version (galaxy wants three
# numbers): a galaxy.yml left behind would ship under an old one.
./setup-deps.sh ansible
version=$(sed -n 's/^project(promcfg VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
case "$version" in *.*.*) ;; *) version=$version.0 ;; esac
grep -qx "version: $version" collection/galaxy.yml ||
    { echo "package.sh: collection/galaxy.yml does not say version: $version (CMakeLists.txt)" >&2; exit 1; }
ansible-galaxy collection build collection --force --output-path build-package/packages
ls build-package/packages/*.deb build-package/packages/*.tar.gz build-switch/packages/*
