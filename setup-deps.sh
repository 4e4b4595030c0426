#!/bin/sh
# Installs the Debian 12 packages a build needs, when missing.
#   ./setup-deps.sh [native|sanitize|powerpc|powerpc-sanitize|fuzz|package|bench|ansible|all]
set -eu
kind=${1:-native}
packages="cmake g++ make googletest libgtest-dev groff-base"
case "$kind" in
powerpc|powerpc-sanitize|all) packages="$packages g++-powerpc-linux-gnu qemu-user" ;;
esac
case "$kind" in
powerpc-sanitize|all) packages="$packages libasan8-powerpc-cross libubsan1-powerpc-cross" ;;
esac

# fuzz: clang-14 with libFuzzer and its sanitizers, llvm-14 for the
# coverage report, and AFL++, for fuzz/run.sh.
case "$kind" in
fuzz) packages="$packages clang-14 libclang-rt-14-dev llvm-14 afl++" ;;
esac

# package: CPack's Debian packages and their checks (package.sh,
# packaging/check-packages.sh).
case "$kind" in
package|bench|all) packages="$packages dpkg-dev lintian bash-completion man-db g++-powerpc-linux-gnu qemu-user" ;;
esac

# ansible: the collection's build (package.sh) and the fleet test's
# playbooks and lint (tests/fleet/fleet_test.sh).
case "$kind" in
ansible|all) packages="$packages ansible-core ansible-lint" ;;
esac

# bench: instruction counts, the dump comparison and peak memory (bench.sh).
case "$kind" in
bench|all) packages="$packages valgrind xxd time" ;;
esac

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing:$missing" >&2
$sudo apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >&2
