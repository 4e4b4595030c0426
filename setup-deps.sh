#!/bin/sh
# Installs the Debian 12 packages a build needs, when missing.
#   ./setup-deps.sh [native|sanitize|powerpc|all]
set -eu
kind=${1:-native}
packages="cmake g++ make googletest libgtest-dev libbenchmark-dev"
case "$kind" in
powerpc|all) packages="$packages g++-powerpc-linux-gnu qemu-user" ;;
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
