#!/bin/sh
# The bench package on a machine that two users share: root runs the
# installed tree (the package unpacked in a fresh temporary folder), and
# user nobody (through setpriv) does what another user could: plant
# symlinks, offer a folder of its own, hold or open a lock, read images, put
# a FIFO in place of one. Each attempt is refused or bounded, and nothing
# appears outside the folders in use. Prints every case and what it said.
# usage: packaging/check-two-users.sh   (as root, after package.sh)
set -eu
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "not root: two-user check skipped"; exit 0; }
deb=$(ls build-package/packages/promcfg-sim_*.deb)

top=$(mktemp -d)
victims="/root/promcfg-victim-new /root/promcfg-victim-lock /root/promcfg-victim-trace"
trap 'rm -rf "$top"; rm -f $victims' EXIT
chmod 1777 "$top"  # like /tmp: both users make folders here
dpkg-deb -x "$deb" "$top/tree"
bin=$top/tree/usr/bin

as_nobody="setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin"
nobody() { $as_nobody "$@"; }

# expect STATUS WORDS [nobody] COMMAND...: runs COMMAND (as user nobody
# when asked, within 30 seconds), shows what it printed, and stops the
# check unless it ended with STATUS and its output holds WORDS.
expect() {
    want=$1 words=$2
    shift 2
    shown="$*"
    if [ "$1" = nobody ]; then
        shift
        set -- $as_nobody "$@"
    fi
    got=0
    out=$(timeout 30 "$@" 2>&1) || got=$?
    printf '  %s\n    -> status %s: %s\n' "$shown" "$got" "$out"
    if [ "$got" != "$want" ] || { [ -n "$words" ] && ! printf '%s\n' "$out" | grep -qF -- "$words"; }; then
        echo "two users: FAILED (wanted status $want and '$words')"
        exit 1
    fi
}

# Root's own folder, used by the cases that follow.
mine=$top/mine
env PROMSIM_DIR="$mine" "$bin/promsim" set product-id 59
listing=$(ls -A "$top")

echo "1. symlinks that user nobody planted"
nobody mkdir "$top/planted"
nobody ln -s /root/promcfg-victim-new "$top/planted/system.prom.new"
nobody ln -s /root/promcfg-victim-lock "$top/planted/system.lock"
expect 1 "refused: it belongs to user 65534" env PROMSIM_DIR="$top/planted" "$bin/promsim" set product-id 43
nobody ln -s /root/promcfg-victim-trace "$top/trace"
expect 2 "refused: it is a symbolic link" env PROMSIM_DIR="$mine" PROMSIM_TRACE="$top/trace" "$bin/promcfg" -P

echo "2. folders that another user owns or may write"
nobody mkdir -m 0755 "$top/theirs"
expect 1 "refused: it belongs to user 65534" env PROMSIM_DIR="$top/theirs" "$bin/promsim" status
expect 1 "refused: its parent $top/theirs belongs to user 65534" env PROMSIM_DIR="$top/theirs/sim" "$bin/promcfg" -P
mkdir -m 0777 "$top/open"
expect 1 "refused: other users may write in it (mode 0777)" env PROMSIM_DIR="$top/open" "$bin/promsim" status

echo "3. a held lock"
expect 66 "Permission denied" nobody flock -x -w 1 "$mine/system.lock" true
flock -x "$mine/system.lock" sleep 12 &  # root's own other process
holder=$!
sleep 1
expect 1 "gave up after 10 seconds waiting for $mine/system.lock" env PROMSIM_DIR="$mine" "$bin/promsim" set clei X
wait "$holder"
# A folder that an earlier version left open (0755, lock 0644) is closed
# at first use.
mkdir -m 0755 "$top/old"
touch "$top/old/system.lock"
chmod 0644 "$top/old/system.lock"
expect 0 "system present blank" env PROMSIM_DIR="$top/old" "$bin/promsim" status
expect 66 "Permission denied" nobody flock -x -w 1 "$top/old/system.lock" true

echo "4. reading another user's images"
expect 1 "Permission denied" nobody cat "$mine/system.prom"
expect 1 "refused: it belongs to user 0" nobody env PROMSIM_DIR="$mine" "$bin/promsim" dump system
expect 1 "refused: it belongs to user 0" nobody env PROMSIM_DIR="$mine" "$bin/promcfg" -P

echo "5. a FIFO, and a device, in place of an image"
expect 1 "Permission denied" nobody mkfifo "$mine/blade.prom.new"
rm "$mine/system.prom"
mkfifo "$mine/system.prom"
ln -sf /dev/zero "$mine/kestrel.prom"
expect 0 "Undefined" env PROMSIM_DIR="$mine" "$bin/promcfg" -P
expect 0 "system present damaged (fifo, not a regular file)" env PROMSIM_DIR="$mine" "$bin/promsim" status
expect 1 "nothing saved: damaged (symbolic link, not a regular file)" env PROMSIM_DIR="$mine" "$bin/promsim" save kestrel "$mine/kestrel.img"
expect 0 "" env PROMSIM_DIR="$mine" "$bin/promsim" reset

echo "6. nothing outside the folders in use"
for victim in $victims; do
    [ ! -e "$victim" ] || { echo "two users: FAILED ($victim exists)"; exit 1; }
done
now=$(ls -A "$top")
expected=$(printf '%s\n' "$listing" open old planted theirs trace | sort)
[ "$now" = "$(printf '%s\n' "$expected" | sort)" ] || { echo "two users: FAILED (new files in $top: $now)"; exit 1; }
[ "$(ls -A "$top/planted" | tr '\n' ' ')" = "system.lock system.prom.new " ]
[ "$(ls -A "$top/theirs")" = "" ]
[ ! -e "$mine/kestrel.img" ]
echo "two users: ok"
