#!/bin/sh
# A site's fleet through Ansible: the collection (built from collection/ and
# installed offline beside a copy of examples/ansible) drives 20 emulated
# switches with the examples' playbooks, 5 forks, local connections and no
# Python on the switches (their interpreter does not exist). Blade products
# 59 and 43 and Kestrel product 38, each switch in a folder of its own with
# its own lock and its own PROMSIM_TRACE.
#   tests/fleet/fleet_test.sh [SCRATCH]     default: build/fleet
# Takes promcfg-apply and promsim from build/bin (./test.sh builds them),
# else from PATH. Checks, each seen from outside (the play recap, promsim,
# the platform call traces):
#   bring-up writes every switch and each reads back; again, writes nothing;
#   the audit (check mode) reports the one switch that differs, with a
#   diff, and writes nothing; one switch whose write fails, and one whose
#   identity is bad, fail alone, naming the item, the 19 others succeed; a
#   value YAML made a number is refused; the inventory's output fed back
#   changes nothing; ansible-lint finds nothing in the examples or the
#   collection.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(realpath -m "${1:-$root/build/fleet}")
[ -x "$root/build/bin/promcfg-apply" ] && PATH=$root/build/bin:$PATH
export PATH
"$root/setup-deps.sh" ansible

hosts=20
passes=0 failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passes=$((passes + 1)); }
# A run that did not go as it should: its status and the end of its log.
failed_run() { fail "$1 (status $rc, log $log)"; tail -n 30 "$log" | sed 's/^/  | /'; }

rm -rf "$scratch"
mkdir -p "$scratch/logs" "$scratch/trace" "$scratch/locks" "$scratch/tmp"
export ANSIBLE_LOCAL_TEMP="$scratch/tmp" ANSIBLE_NOCOLOR=1 ANSIBLE_FORCE_COLOR=0
# A run that lost its PROMSIM_DIR lands here, not on the user's own
# emulated switch.
export XDG_STATE_HOME="$scratch/state"

# --- The collection, beside a copy of the examples ---------------------------
ex=$scratch/examples
cp -r "$root/examples/ansible" "$ex"
rm -rf "$ex/collections" "$ex/switches" "$ex/out"
cd "$ex"    # its ansible.cfg finds the collection in ./collections
ansible-galaxy collection build "$root/collection" --output-path "$scratch/dist" >"$scratch/logs/build.log"
ansible-galaxy collection install --offline -p collections "$scratch/dist"/promcfg-switch-*.tar.gz \
    >"$scratch/logs/install.log"

# --- The switches ---------------------------------------------------------------
name() { printf 'sw%02d' "$1"; }
kind() { case $(($1 % 3)) in 1) echo 59 ;; 2) echo 43 ;; 0) echo 38 ;; esac; }
dir() { echo "$scratch/switches/$(name "$1")"; }
trace() { echo "$scratch/trace/$(name "$1")"; }

# The items of examples/blade59.id and kestrel38.id, with MACs, WWNs and
# serial numbers of the switch's own; numbers given both ways, as strings
# and as integers.
identity() # n
{
    x=$(printf %02x "$1") d=$(printf %02d "$1")
    case $(kind "$1") in
    38) cat <<EOF
      mac0: "00:05:1e:3b:$x:10"
      mac1: "00:05:1e:3b:$x:11"
      wwn: "10:00:00:05:1e:3b:$x:10"
      vwwn: "20:00:00:05:1e:3b:$x:10"
      chassis-sn: "CH2514K3$d"
      kestrel-hw-rev: "A00"
      kestrel-product-name: "Kestrel 4Gb Switch Module"
      kestrel-service-tag: "7KQ2M$d"
EOF
    ;;
    *) p=$(kind "$1")
       [ "$p" = 59 ] && p=59 || p='"43"'
       cat <<EOF
      mac0: "00:05:1e:0a:$x:2c"
      mac1: "00:05:1e:0a:$x:2d"
      wwn: "10:00:00:05:1e:0a:$x:2c"
      vwwn: "20:00:00:05:1e:0a:$x:2c"
      product-id: $p
      product-code: "40-1000123-01"
      board-sn: "BRW2514K$d"
      subassy-count: 1
      subassy0: "60-1000456-02"
      asic-mac0: "00:05:1e:0a:$x:30"
      asic-mac1: "00:05:1e:0a:$x:31"
      chassis-sn: "CH2514K0$d"
      clei: "IPMZZ00DRA"
      chassis-type: "bc2"
      vpd-hw-rev: "2"
      vpd-date-code: "1425"
      vpd-part-number: "46M6172"
      vpd-fru-number: "46M6171"
      vpd-pos-id: "0x1a2b"
      vpd-manufacturer: "IBM"
      vpd-product-name: "Pellan 8Gb SAN Switch Module"
      ip-address: "192.168.70.$((100 + $1))"
      ip-gateway: "192.168.70.1"
      ip-netmask: "255.255.255.0"
EOF
    ;;
    esac
}

# inventory FILE [HOST SED [ENV]]: the 20 switches, each with its identity
# (none when FILE's folder has host_vars of its own); HOST's identity goes
# through sed expression SED, and ENV is one more environment variable of
# HOST's, as NAME: VALUE.
inventory()
{
    file=$1 odd=${2:-} sed=${3:-} env=${4:-}
    mkdir -p "$(dirname "$file")"
    own=yes
    [ -d "$(dirname "$file")/host_vars" ] && own=no
    {
        echo "switches:"
        echo "  vars:"
        echo "    ansible_python_interpreter: /nonexistent/python3"
        echo "  children:"
        echo "    emulated:"
        echo "      vars:"
        echo "        ansible_connection: local"
        echo "      hosts:"
        i=1
        while [ $i -le $hosts ]; do
            echo "        $(name $i):"
            echo "          promcfg_environment:"
            echo "            PROMSIM_DIR: \"$(dir $i)\""
            echo "            PROMSIM_TRACE: \"$(trace $i)\""
            [ "$(name $i)" = "$odd" ] && [ -n "$env" ] && echo "            $env"
            # Half the switches name a lock of their own, half take
            # promcfg-apply's default one in PROMSIM_DIR.
            [ $((i % 2)) = 1 ] && echo "          promcfg_lock: \"$scratch/locks/$(name $i).lock\""
            if [ $own = yes ]; then
                echo "          identity:"
                if [ "$(name $i)" = "$odd" ]; then identity $i | sed "$sed"; else identity $i; fi |
                    sed 's/^/      /'
            fi
            i=$((i + 1))
        done
    } >"$file"
}

# play NAME PLAYBOOK INVENTORY [ARGS...]: run it, its output in
# logs/NAME.log; sets rc and seconds.
play()
{
    log=$scratch/logs/$1.log book=$2 inv=$3
    shift 3
    start=$(date +%s.%N)
    rc=0
    ansible-playbook -f 5 -i "$inv" "$book" "$@" >"$log" 2>&1 || rc=$?
    seconds=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
}

# recap WANT [HOST HOSTWANT]: every switch's line of the last play recap
# holds the counts of WANT ("changed=1 failed=0"), HOST's those of HOSTWANT.
recap()
{
    awk -v want="$1" -v odd="${2:-}" -v oddwant="${3:-}" -v hosts=$hosts '
        /^sw[0-9]+ +: ok=/ {
            n++
            w = ($1 == odd) ? oddwant : want
            k = split(w, kv, " ")
            for (i = 1; i <= k; i++) {
                split(kv[i], p, "=")
                got = ""
                if (match($0, " " p[1] "=[0-9]+"))
                    got = substr($0, RSTART + length(p[1]) + 2, RLENGTH - length(p[1]) - 2)
                if (got != p[2]) { print "  " $1 ": " p[1] "=" got ", not " p[2]; bad = 1 }
            }
        }
        END { if (n != hosts) { print "  " n " switches in the recap, not " hosts; bad = 1 }; exit bad }' "$log"
}

# The message of HOST's failed task, from the log.
message() { grep "^fatal: \[$1\]" "$log" | grep -o '"msg": "\([^"\\]\|\\.\)*"' || true; }

# Lines of a trace that are not reads: a write, a commit, an erase.
writes()
{
    grep -v -e '^swServGet' -e '^VPD_Client::VPD_Client(' -e '^VPD_Client::~VPD_Client(' \
        -e '^VPD_Client::read(' -e '^VPD_Client::chassis_type(' -e '^VPD_Client::release_bus(' \
        -e '^VPD_Client::read_mgmt_data(' -e '^kestrel_open(' -e '^kestrel_read(' -e '^kestrel_get_' "$1" || true
}
clear_traces() { i=1; while [ $i -le $hosts ]; do : >"$(trace $i)"; i=$((i + 1)); done; }
# No switch's trace holds a write, and each shows it was read (so that the
# check cannot pass on traces that were never written).
no_writes()
{
    i=1 ok=1
    while [ $i -le $hosts ]; do
        if [ ! -s "$(trace $i)" ]; then
            echo "  $(name $i): empty trace"; ok=0
        elif [ -n "$(writes "$(trace $i)")" ]; then
            echo "  $(name $i): $(writes "$(trace $i)" | head -1)"; ok=0
        fi
        i=$((i + 1))
    done
    [ $ok = 1 ]
}
dumps() { for d in system blade kestrel; do PROMSIM_DIR=$1 promsim dump $d; done; }

# Blank switches, each made its product, as a factory does.
i=1
while [ $i -le $hosts ]; do
    PROMSIM_DIR=$(dir $i) promsim reset >/dev/null
    PROMSIM_DIR=$(dir $i) promsim set product-id "$(kind $i)"
    i=$((i + 1))
done
inventory "$scratch/inv/base/hosts.yml"
base=$scratch/inv/base/hosts.yml

# --- Bring-up: every switch written, and read back -----------------------------
play first bring-up.yml "$base"
echo "first 20-switch run: ${seconds} s"
if [ $rc = 0 ] && recap "changed=1 failed=0"; then pass "first bring-up: every switch changed"
else failed_run "first bring-up"; fi
bad=""
i=1
while [ $i -le $hosts ]; do
    for item in mac0 wwn chassis-sn; do
        want=$(identity $i | sed -n "s/^ *$item: \"\(.*\)\"$/\1/p" | tr -d :)
        got=$(PROMSIM_DIR=$(dir $i) promsim get $item 2>&1) || true
        [ "$got" = "$want" ] || bad="$bad $(name $i):$item=$got(not $want)"
    done
    i=$((i + 1))
done
if [ -z "$bad" ]; then pass "promsim reads back every switch's mac0, wwn and chassis-sn"
else fail "promsim reads otherwise:$(echo "$bad" | cut -c1-300)"; fi
# Each switch's own lock (odd ones name one), and writes in each trace, so
# that the checks of the runs below stand on traces that do show writes.
bad=""
i=1
while [ $i -le $hosts ]; do
    if [ $((i % 2)) = 1 ]; then lock=$scratch/locks/$(name $i).lock; else lock=$(dir $i)/apply.lock; fi
    [ -f "$lock" ] || bad="$bad $(name $i):no-$lock"
    [ -n "$(writes "$(trace $i)")" ] || bad="$bad $(name $i):no-write-traced"
    i=$((i + 1))
done
if [ -z "$bad" ]; then pass "each switch's run lock taken where asked, its writes traced"
else fail "locks or traces:$(echo "$bad" | cut -c1-300)"; fi

# --- Again: nothing written ----------------------------------------------------
clear_traces
play second bring-up.yml "$base"
echo "second 20-switch run: ${seconds} s"
if [ $rc = 0 ] && recap "changed=0 failed=0"; then pass "second bring-up: changed=0 on every switch"
else failed_run "second bring-up"; fi
if no_writes; then pass "second bring-up: no write in any switch's trace"
else fail "second bring-up wrote"; fi

# --- The audit: one switch differs --------------------------------------------
inventory "$scratch/inv/audit/hosts.yml" sw04 's/Pellan 8Gb/Pellan 16Gb/'
clear_traces
play audit audit.yml "$scratch/inv/audit/hosts.yml"
if [ $rc = 0 ] && recap "changed=0 failed=0" sw04 "changed=1 failed=0" &&
    grep -qx -- '-vpd-product-name = Pellan 8Gb SAN Switch Module' "$log" &&
    grep -qx -- '+vpd-product-name = Pellan 16Gb SAN Switch Module' "$log" &&
    grep -q '1 of 20 switches differ: sw04' "$log"; then
    pass "audit: sw04 alone differs, with its diff"
else failed_run "audit"; fi
if no_writes; then pass "audit: nothing written"; else fail "the audit wrote"; fi

# --- One switch's write fails: it alone fails ----------------------------------
old=$(PROMSIM_DIR=$(dir 5) promsim get wwn 2>&1) || true
inventory "$scratch/inv/fail/hosts.yml" sw05 's/\(wwn: "10:00:00:05:1e:0a\):..:/\1:ee:/' \
    'PROMSIM_FAIL: "swServSetWWN_bus=-3/5"'
play fail bring-up.yml "$scratch/inv/fail/hosts.yml"
msg=$(message sw05)
echo "  sw05: $msg"
if [ $rc = 2 ] && recap "changed=0 failed=0" sw05 "failed=1" && echo "$msg" | grep -q 'wwn: differs' &&
    echo "$msg" | grep -q 'Error writing WWName' &&
    [ "$(PROMSIM_DIR=$(dir 5) promsim get wwn 2>&1)" = "$old" ]; then
    pass "a failing write: sw05 alone fails, naming wwn; the 19 others succeed"
else failed_run "a failing write"; fi

# --- One switch's identity is bad: nothing written -----------------------------
dumps "$(dir 7)" >"$scratch/sw07.before"
inventory "$scratch/inv/bad/hosts.yml" sw07 's/ip-address: .*/ip-address: "10.0.0.256"/'
play bad bring-up.yml "$scratch/inv/bad/hosts.yml"
dumps "$(dir 7)" >"$scratch/sw07.after"
msg=$(message sw07)
echo "  sw07: $msg"
if [ $rc = 2 ] && recap "changed=0 failed=0" sw07 "failed=1" &&
    echo "$msg" | grep -q 'status 2: ip-address: an address of four numbers from 0 to 255' &&
    cmp -s "$scratch/sw07.before" "$scratch/sw07.after"; then
    pass "a bad identity: sw07 alone fails with the file's reasons, its PROMs unchanged"
else failed_run "a bad identity"; fi

# --- A value that YAML made a number: refused, promcfg-apply not run ------------
: >"$(trace 1)"
inventory "$scratch/inv/yaml/hosts.yml" sw01 's/^\( *\)wwn: .*/\1wwn: 10:00:00:05:12:34:50:11/'
play yaml bring-up.yml "$scratch/inv/yaml/hosts.yml"
msg=$(message sw01)
echo "  sw01: $msg"
if [ $rc = 2 ] && recap "changed=0 failed=0" sw01 "failed=1" && echo "$msg" | grep -q 'items: wwn: .* not a string' &&
    [ ! -s "$(trace 1)" ]; then
    pass "an unquoted WWN: refused, naming wwn, nothing run"
else failed_run "an unquoted WWN"; fi

# --- The inventory, fed back ----------------------------------------------------
play inventory inventory.yml "$base" -e identity_out="$scratch/out"
if [ $rc = 0 ] && [ "$(wc -l <"$scratch/out/identities.csv")" = $((hosts + 1)) ] &&
    head -1 "$scratch/out/identities.csv" | grep -q '^"switch",.*"mac0"' &&
    ! grep -q product-id "$scratch/out/identities.json"; then
    pass "inventory: one JSON and one CSV file of the 20 switches"
else failed_run "inventory"; fi
mkdir -p "$scratch/inv/back/host_vars"
python3 - "$scratch/out/identities.json" "$scratch/inv/back/host_vars" <<'EOF'
import json, sys
for host, items in json.load(open(sys.argv[1])).items():
    with open('%s/%s.json' % (sys.argv[2], host), 'w') as f:
        json.dump({'identity': items}, f)
EOF
inventory "$scratch/inv/back/hosts.yml"
clear_traces
play back bring-up.yml "$scratch/inv/back/hosts.yml"
if [ $rc = 0 ] && recap "changed=0 failed=0" && no_writes; then
    pass "the inventory fed back to identity: changed=0, nothing written"
else failed_run "the inventory fed back"; fi

# --- ansible-lint ----------------------------------------------------------------
log=$scratch/logs/lint.log
if ansible-lint --offline >"$log" 2>&1; then pass "ansible-lint: the examples"
else rc=1; failed_run "ansible-lint on the examples"; fi
cp -r "$root/collection" "$scratch/collection"
log=$scratch/logs/lint-collection.log
if (cd "$scratch/collection" && ansible-lint --offline) >"$log" 2>&1; then pass "ansible-lint: the collection"
else rc=1; failed_run "ansible-lint on the collection"; fi

# --- ansible-doc: each task's options, return values and examples -----------
log=$scratch/logs/doc.log
if ansible-doc promcfg.switch.identity promcfg.switch.identity_info >"$log" 2>&1 &&
    [ "$(grep -c -e '- layout' -e 'RETURN VALUES' -e 'EXAMPLES' "$log")" -ge 6 ]; then
    pass "ansible-doc: both tasks"
else rc=1; failed_run "ansible-doc"; fi

echo "fleet: $passes passed, $failures failed"
[ $failures = 0 ]
