#!/bin/sh
# Builds promcfg, its emulated platform and its tests, and runs every test.
#   ./test.sh            native build (build/)
#   ./test.sh sanitize   AddressSanitizer + UndefinedBehaviorSanitizer (build-sanitize/)
#   ./test.sh powerpc    32-bit big-endian PowerPC, tests under qemu-ppc (build-powerpc/)
#   ./test.sh powerpc-sanitize
#                        both: the PowerPC build with AddressSanitizer and
#                        UndefinedBehaviorSanitizer (build-powerpc-sanitize/)
# The sanitizer builds are Debug builds: unoptimised code compiles in half
# the time, and the suite's time goes into starting processes, not running them.
# Installs the Debian packages it needs when they are missing.
set -eu
cd "$(dirname "$0")"
kind=${1:-native}

./setup-deps.sh "$kind"

case "$kind" in
native)   dir=build;          flags="-DPROMCFG_BUILD_TESTS=ON" ;;
sanitize) dir=build-sanitize; flags="-DPROMCFG_BUILD_TESTS=ON -DPROMCFG_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug" ;;
powerpc)  dir=build-powerpc;  flags="-DPROMCFG_BUILD_TESTS=ON -DCMAKE_TOOLCHAIN_FILE=$(pwd)/cmake/powerpc-linux-gnu.cmake" ;;
powerpc-sanitize)
          dir=build-powerpc-sanitize
          flags="-DPROMCFG_BUILD_TESTS=ON -DCMAKE_TOOLCHAIN_FILE=$(pwd)/cmake/powerpc-linux-gnu.cmake -DPROMCFG_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug" ;;
*) echo "usage: $0 [native|sanitize|powerpc|powerpc-sanitize]" >&2; exit 2 ;;
esac

# shellcheck disable=SC2086
cmake -S . -B "$dir" $flags
cmake --build "$dir" -j "$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
