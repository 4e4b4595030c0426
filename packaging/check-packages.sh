#!/bin/sh
# Checks the packages that package.sh made: lintian, the unpacked tree
# running where it lies, and (as root) an install that an ordinary user can
# use at once and whose removal leaves that user's emulated hardware alone,
# made in a scratch root (check-install.sh) that leaves the system as it was.
set -eu
cd "$(dirname "$0")/.."
deb=$(ls build-package/packages/promcfg-sim_*.deb)
switch_deb=$(ls build-switch/packages/promcfg_*_powerpc.deb)
switch_tgz=$(ls build-switch/packages/promcfg_*_powerpc.tar.gz)

# Tags that stand are overridden, with the reason, in packaging/.
lintian --fail-on error,warning "$deb" "$switch_deb"

# The switch package and tarball hold the switch tools and manuals only.
expected="./usr/sbin/promcfg
./usr/sbin/promcfg-apply
./usr/share/doc/promcfg/changelog.Debian.gz
./usr/share/doc/promcfg/copyright
./usr/share/lintian/overrides/promcfg
./usr/share/man/man8/promcfg-apply.8.gz
./usr/share/man/man8/promcfg.8.gz"
# Sorted alike on both sides, whatever the locale's order.
expected=$(echo "$expected" | sort)
[ "$(dpkg-deb --fsys-tarfile "$switch_deb" | tar t | grep -v '/$' | sort)" = "$expected" ]
[ "$(tar tzf "$switch_tgz" | grep -v '/$' | sed 's|^[^/]*/|./|' | sort)" = "$expected" ]
dpkg-deb -f "$switch_deb" Depends | grep -qv "swServer\|fcsm\|kestrel"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
# The switch's promcfg runs on the stand-in libraries (every call fails).
dpkg-deb -x "$switch_deb" "$tree/switch"
LD_LIBRARY_PATH=build-switch/stub-sysroot/usr/lib qemu-ppc -L /usr/powerpc-linux-gnu \
    "$tree/switch/usr/sbin/promcfg" -P | grep -q "Product ID .*: Undefined"
PROMSIM_DIR="$tree/sim" "$tree/usr/bin/promsim" set product-id 59
PROMSIM_DIR="$tree/sim" "$tree/usr/bin/promcfg" -P | grep -q "Product ID .*: 59 (Pellan)"
# promcfg-apply finds the promcfg beside it.
echo "clei = CLEI-1" | PROMSIM_DIR="$tree/sim" "$tree/usr/bin/promcfg-apply" - | grep -q "^clei .* ok$"

# Any prefix, staged under DESTDIR, runs where it lies too.
DESTDIR="$tree/stage" cmake --install build-package --prefix /opt/promcfg >/dev/null
PROMSIM_DIR="$tree/sim" "$tree/stage/opt/promcfg/bin/promcfg" -P | grep -q "Product ID .*: 59 (Pellan)"

# No packaged program or library searches the current folder for libraries.
tests/runpath/check_runpath.sh readelf "$tree"/usr/bin/* "$tree"/usr/lib/*/promcfg/*.so \
    "$tree"/switch/usr/sbin/*

[ "$(id -u)" -eq 0 ] || { echo "not root: install check skipped"; exit 0; }
# The system as found: the bench package's state and the check's user.
found() {
    dpkg-query -W -f='${db:Status-Abbrev} ${Version}\n' promcfg-sim 2>/dev/null || echo "not installed"
    getent passwd promcfg-check || echo "no user"
    ls /home
}
before=$(found)
packaging/check-install.sh "$deb"
[ "$(found)" = "$before" ] || { echo "packages: the install check changed the system"; exit 1; }
echo "packages: ok"
