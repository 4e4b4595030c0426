#!/bin/sh
# Installs the bench package as root and tries it as an ordinary user: at
# once usable (PATH, manuals, completion), and its removal leaves that
# user's emulated hardware alone. All of it in a scratch root: a private
# mount namespace whose /etc, /home, /usr and /var are overlays that vanish
# with it, so the system stays as it was found (a promcfg-sim installed
# before stays installed, no user or home is left behind), also when a
# check fails or the run is killed.
# usage: packaging/check-install.sh promcfg-sim_VERSION_ARCH.deb   (as root)
set -eu
deb=$(realpath "$1")

if [ -z "${PROMCFG_SCRATCH_ROOT:-}" ]; then
    scratch=$(mktemp -d /tmp/promcfg-scratch.XXXXXX)  # outside the overlaid folders
    trap 'rm -rf "$scratch"' EXIT
    status=0
    PROMCFG_SCRATCH_ROOT=$scratch unshare --mount --propagation private "$0" "$deb" || status=$?
    exit $status
fi

for top in etc home usr var; do
    mkdir -p "$PROMCFG_SCRATCH_ROOT/$top/upper" "$PROMCFG_SCRATCH_ROOT/$top/work"
    mount -t overlay overlay -o "lowerdir=/$top,upperdir=$PROMCFG_SCRATCH_ROOT/$top/upper,workdir=$PROMCFG_SCRATCH_ROOT/$top/work" "/$top"
done

user=promcfg-check
id "$user" >/dev/null 2>&1 || useradd --create-home "$user"
dpkg -i "$deb" >/dev/null
su "$user" -c 'set -e; cd
    promcfg -P >/dev/null
    promsim status | grep -q "^folder $HOME/.local/state/promcfg/sim$"
    [ "$(stat -c %a ~/.local/state/promcfg/sim ~/.local/state/promcfg/sim/system.prom)" = "700
600" ]
    promsim help | grep -q "man promsim"
    promsim set chassis-sn CH-1
    promcfg -P | grep -q "Serial Number .*: CH-1"
    printf "product-id = 59\nboard-sn = SN-1\n" | promcfg-apply - >/dev/null
    promcfg-apply --show | grep -q "^board-sn = SN-1$"
    man -w promcfg promcfg-apply promsim >/dev/null
    bash -c ". /usr/share/bash-completion/completions/promcfg; complete -p promcfg" >/dev/null'
dpkg -r promcfg-sim >/dev/null
su "$user" -c 'test -s ~/.local/state/promcfg/sim/system.prom'
! command -v promcfg
echo "install: ok"
