#!/bin/sh
# The physical cost of promcfg's actions, counted from PROMSIM_TRACE: each
# system PROM commit is an erase/write cycle of flash, each blade VPD write
# an I2C EEPROM write, so calls, bytes and commits must not grow unnoticed.
#
# Every action starts from the same fixed images: the product-59 blade and
# the product-38 Kestrel blade of the quick start, made once here from
# examples/blade59.id and examples/kestrel38.id with promcfg-apply, saved
# with promsim save, and loaded back (promsim load) before each action, so
# that destructive actions measure the same bytes as the others.
#
# The figures are compared with the committed table bench/physical-cost.txt:
# a figure above its committed one fails (status 1) and is named; one below
# is printed as improved. Status 2: the bench itself could not run.
#
#   bench/physical-cost.sh [BIN]            measure and compare
#   bench/physical-cost.sh --update [BIN]   measure and rewrite the committed
#                                           table (on purpose: commit it with
#                                           the change that explains it)
# BIN holds promcfg, promcfg-apply and promsim; by default those of the sim
# package that package.sh built.
set -eu
cd "$(dirname "$0")/.."
update=no
if [ "${1:-}" = "--update" ]; then
    update=yes
    shift
fi
committed=bench/physical-cost.txt

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -n "${1:-}" ]; then
    bin=$(realpath "$1")
else
    dpkg-deb -x "$(ls build-package/packages/promcfg-sim_*.deb)" "$work/sim"
    bin=$work/sim/usr/bin
fi

export PROMSIM_DIR="$work/hardware"
unset PROMSIM_FAIL PROMSIM_TRACE PROMSIM_ASIC_MACS
devices="system blade kestrel"

# make_images NAME FILE [PRODUCT]: a switch set up from FILE as the quick
# start does (PRODUCT, when given, set first), saved as $work/NAME.system,
# .blade and .kestrel.
make_images() {
    "$bin/promsim" reset
    [ -z "${3:-}" ] || "$bin/promsim" set product-id "$3"
    "$bin/promcfg-apply" "$2" >/dev/null
    for device in $devices; do
        "$bin/promsim" save "$device" "$work/$1.$device"
    done
}
make_images blade59 examples/blade59.id
make_images kestrel38 examples/kestrel38.id 38

load_images() {
    for device in $devices; do
        "$bin/promsim" load "$device" "$work/$1.$device"
    done
}

# count TRACE: "swServ-calls VPD-calls kestrel-calls system-bytes
# blade-bytes kestrel-bytes commits" of the trace. Every call is counted,
# whatever its return code. Not calls of the tool: the client's constructor
# and destructor and the library's exit handler (VPD_Client::VPD_Client,
# ~VPD_Client, release_bus).
#
# Bytes are those a call states it moves to or from its device:
#   - a length or buffer size argument: VPD_Client::read and read_mgmt_data
#     (OFFSET, LENGTH, &), write_mgmt_data (OFFSET, LENGTH, DATA),
#     kestrel_read (H, OFFSET, &, LENGTH), and the swServ text calls (the
#     size after & of a read, the length after the text of a write);
#   - a byte array or record written, two hex digits a byte: MAC and WWN
#     writes (6 and 8), VPD_Client::initialize_vpd (972),
#     kestrel_initialize_vpd (142);
#   - a fixed-size value read or written: a MAC 6, a WWN 8, an integer item
#     or count 4, the chassis type 1, a Kestrel text (service tag, ePPID)
#     the 64 bytes its caller gives;
#   - nothing for the calls that state no bytes (flush, deletion,
#     initialisations, clearing the management data or the PROM, size
#     detection, kestrel_open): their cost is their commit.
# Commits: each swServFlush with staged writes (a swServSet... call since
# the previous flush; the tool flushes in the dialogue that staged them),
# swServDeleteTLV, swServInitialize, swServInitializeRaw, and every blade
# and Kestrel write: initialize_vpd, write_mgmt_data, init_mgmt_data,
# set_chassis_type, clear_sprom, sprom_size (size detection writes its
# probe pattern over the PROM) and kestrel_initialize_vpd.
# A call form without a rule here stops the bench: give it one.
count() {
    awk '
    function fail(what) { printf "physical-cost: no rule for %s\n", what >"/dev/stderr"; bad = 1; exit 2 }
    {
        name = substr($0, 1, index($0, "(") - 1)
        args = substr($0, length(name) + 2)
        sub(/\) = -?[0-9]+$/, "", args)
        gsub(/"[^"]*"/, "T", args)   # a text is the bytes its length says
        n = split(args, a, ", ")
    }
    name ~ /^VPD_Client::(VPD_Client|~VPD_Client|release_bus)$/ { next }
    name ~ /^swServ/ {
        swserv++
        if (name ~ /^swServSet/) staged = 1
        if (name ~ /^swServ(Set|Get)(ProductCode|BoardSN|SubAssy|ChassisSN|ChassisSN_bus|CLEI|CLEI_bus)$/) {
            for (i = 1; i < n; i++)
                if (a[i] == "&" || a[i] == "T") { system_bytes += a[i + 1]; break }
        } else if (name ~ /^swServSet(MAC_bus|AsicMAC|WWN_bus|VWWN_bus)$/)
            system_bytes += length(a[1]) / 2
        else if (name ~ /^swServGet(MAC|AsicMAC)$/)
            system_bytes += 6
        else if (name ~ /^swServGet(WWN|WWN_bus|VWWN_bus)$/)
            system_bytes += 8
        else if (name ~ /^swServ(Get|Set)(ProductID|ProductIDsubtype|SubAssyCount|PortCount|NumAsicMACs|NumAsicMACsByProductID)$/)
            system_bytes += 4
        else if (name == "swServFlush") {
            commits += staged
            staged = 0
        } else if (name ~ /^swServ(DeleteTLV|Initialize|InitializeRaw)$/)
            commits++
        else
            fail(name)
        next
    }
    name ~ /^VPD_Client::/ {
        vpd++
        m = substr(name, 13)
        if (m == "read" || m == "read_mgmt_data")
            blade_bytes += a[2]
        else if (m == "write_mgmt_data") {
            blade_bytes += a[2]
            commits++
        } else if (m == "initialize_vpd") {
            blade_bytes += length(a[1]) / 2
            commits++
        } else if (m == "chassis_type")
            blade_bytes += 1
        else if (m == "set_chassis_type") {
            blade_bytes += 1
            commits++
        } else if (m == "init_mgmt_data" || m == "clear_sprom" || m == "sprom_size")
            commits++
        else
            fail(name)
        next
    }
    name ~ /^kestrel_/ {
        kestrel++
        if (name == "kestrel_read")
            kestrel_bytes += a[4]
        else if (name == "kestrel_get_service_tag" || name == "kestrel_get_eppid")
            kestrel_bytes += 64
        else if (name == "kestrel_initialize_vpd") {
            kestrel_bytes += length(a[2]) / 2
            commits++
        } else if (name != "kestrel_open")
            fail(name)
        next
    }
    { fail("trace line: " $0) }
    END {
        if (!bad)
            printf "%d %d %d %d %d %d %d\n", swserv, vpd, kestrel, system_bytes, blade_bytes,
                kestrel_bytes, commits
    }' "$1"
}

table=$work/table
row() {
    printf '%-26s %4s %6s %4s %7s %8s %10s %12s %7s\n' "$@"
}
row action runs swServ VPD kestrel sysbytes bladebytes kestrelbytes commits >"$table"

# measure ACTION IMAGES INPUT OPTION...: promcfg once on the images, the
# input on its standard input.
measure() {
    action=$1 images=$2 input=$3
    shift 3
    load_images "$images"
    rm -f "$work/trace"
    printf '%b' "$input" | PROMSIM_TRACE="$work/trace" "$bin/promcfg" "$@" >/dev/null 2>&1 || true
    [ -f "$work/trace" ] || : >"$work/trace"
    figures=$(count "$work/trace")
    # shellcheck disable=SC2086  # the seven figures
    row "$action" 1 $figures >>"$table"
}

# The answers are the values of the identity files, so that every
# dialogue writes.
measure "-p" blade59 "" -p
measure "-P" blade59 "" -P
measure "-s" blade59 "00051e0a1b2c\n00051e0a1b2d\n100000051e0a1b2c\n200000051e0a1b2c\n" -s
measure "-b" blade59 "59\n40-1000123-01\nBRW2514K00A\n1\n60-1000456-02\n00051e0a1b30\n00051e0a1b31\n" -b
measure "-c" blade59 "CH2514K00A\nIPMZZ00DRA\n" -c
measure "-i" blade59 "" -i
measure "-r" blade59 "" -r
measure "-D 110" blade59 "" -D 110
measure "-x bc2" blade59 "" -x bc2
menu() {
    measure "-m row $1" "$2" "$1\n$3" -m
}
menu 5 blade59 "2\n1425\n46M6172\n46M6171\n1a2b\nIBM\nPellan 8Gb SAN Switch Module\n0\n"
menu 6 blade59 "0\n"
menu 7 blade59 "0\n"
menu 8 blade59 "192.168.70.129\n192.168.70.1\n255.255.255.0\n0\n"
menu 9 blade59 "0\n"
menu 10 blade59 "0\n"
menu 11 blade59 "0 16\n"        # one command, then end of input
menu 12 blade59 "0\n"
menu 13 blade59 "0\n"
menu 14 kestrel38 "A00\nKestrel 4Gb Switch Module\n7KQ2M4X\n0\n"
menu 15 kestrel38 "0\n"

# apply ACTION FILE: promcfg-apply FILE on the switch as it is, all its
# promcfg runs in one trace.
apply() {
    rm -f "$work/trace"
    json=$(PROMSIM_TRACE="$work/trace" "$bin/promcfg-apply" --json "$2" 2>/dev/null) || true
    runs=$(printf '%s\n' "$json" | sed -n 's/^ *"runs": \([0-9]*\),$/\1/p')
    if [ -z "$runs" ]; then
        echo "physical-cost: promcfg-apply --json $2 gave no runs" >&2
        exit 2
    fi
    [ -f "$work/trace" ] || : >"$work/trace"
    figures=$(count "$work/trace")
    # shellcheck disable=SC2086
    row "$1" "$runs" $figures >>"$table"
}
load_images blade59
apply "apply blade59.id, made" examples/blade59.id
"$bin/promsim" reset
"$bin/promsim" set product-id 59
apply "apply blade59.id, blank" examples/blade59.id
load_images kestrel38
apply "apply kestrel38.id, made" examples/kestrel38.id
"$bin/promsim" reset
"$bin/promsim" set product-id 38
apply "apply kestrel38.id, blank" examples/kestrel38.id

if [ "$update" = yes ]; then
    cp "$table" "$committed"
    echo "physical cost: $committed rewritten"
    cat "$committed"
    exit 0
fi

if [ ! -s "$committed" ]; then
    echo "physical-cost: no $committed: write it with bench/physical-cost.sh --update" >&2
    exit 2
fi
# Each row against its committed one: the last eight fields are figures,
# the fields before them the action.
echo "physical cost (PROMSIM_TRACE, fixed images; against $committed)"
awk '
function action(   i, s) {
    s = $1
    for (i = 2; i <= NF - 8; i++)
        s = s " " $i
    return s
}
FNR == 1 { if (NR == 1) split($0, heading); else printf "  %s\n", $0; next }
NR == FNR { key = action(); for (i = 1; i <= 8; i++) was[key, i] = $(NF - 8 + i); known[key] = 1; next }
{
    key = action()
    verdict = ""
    if (!(key in known)) {
        verdict = "  NOT IN THE TABLE"
        failed = 1
    } else {
        for (i = 1; i <= 8; i++) {
            now = $(NF - 8 + i)
            if (now + 0 > was[key, i] + 0) {
                verdict = verdict sprintf("  %s %s > %s ABOVE", heading[i + 1], now, was[key, i])
                failed = 1
            } else if (now + 0 < was[key, i] + 0)
                verdict = verdict sprintf("  %s %s < %s improved", heading[i + 1], now, was[key, i])
        }
    }
    printf "  %s%s\n", $0, verdict
    if (verdict ~ /ABOVE|NOT IN/)
        above[++n] = key ":" verdict
}
END {
    for (i = 1; i <= n; i++)
        printf "physical cost above the committed table: %s\n", above[i]
    exit failed
}' "$committed" "$table"
