#!/bin/sh
# Trials of promcfg-apply on the native build, at random instants:
#   interrupts N  SIGINT, SIGTERM or SIGHUP (sometimes twice) at a random
#                 instant of a run, sometimes while another process holds the
#                 emulated PROM's commit lock: after the run ends, nothing
#                 changes the PROM, and a run's status is 0 or 128 + the signal.
#   rounds N      two runs at once on the same switch and items, from two
#                 files: the switch ends with one file's identity whole.
# Prints its figures; fails on the first fault.
#   apply_trials.sh BIN_DIR interrupts|rounds N
set -u
bin=$1 kind=$2 count=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PROMSIM_DIR="$work/sim"
export PATH="$bin:$PATH"

identity() {  # identity FILE TAG: the same items, values marked by TAG (a hex digit)
    cat >"$1" <<EOF
mac0 = 00051e0a1b2$2
wwn = 100000051e0a1b2$2
board-sn = BOARD-$2
asic-mac0 = 00051e0a1b3$2
chassis-sn = CHASSIS-$2
clei = CLEI-$2
EOF
}

items() { promsim list 2>/dev/null | grep -E '^(mac0|wwn|board-sn|asic-mac0|chassis-sn|clei) '; }

random_ms() { od -An -N2 -tu2 /dev/urandom | awk -v most="$1" '{ print $1 % most }'; }

fail() {
    echo "apply_trials: $*" >&2
    exit 1
}

promsim reset all >/dev/null && promsim set product-id 59 >/dev/null || fail "no emulated switch"
identity "$work/a.id" a
identity "$work/b.id" b

case "$kind" in
interrupts)
    ended_early=0 finished=0 waited=0
    i=0
    while [ $i -lt "$count" ]; do
        i=$((i + 1))
        promsim reset system >/dev/null && promsim set product-id 59 >/dev/null
        locker=""
        if [ $((i % 3)) -eq 0 ]; then
            # Another process commits slowly: the run's commit waits for it.
            flock "$PROMSIM_DIR/system.lock" sleep 0.5 &
            locker=$!
        fi
        promcfg-apply --timeout 3 "$work/a.id" >"$work/out" 2>"$work/err" &
        run=$!
        # A run takes some 20 ms, or as long as the lock is held.
        sleep "0.$(printf '%03d' "$(random_ms $([ -n "$locker" ] && echo 500 || echo 30))")"
        signal=$(echo INT TERM HUP | cut -d' ' -f$(($(random_ms 3) + 1)))
        kill -s "$signal" $run 2>/dev/null
        [ $((i % 4)) -eq 1 ] && { sleep 0.05; kill -s "$signal" $run 2>/dev/null; }
        wait $run
        status=$?
        ended=$(items)
        [ -n "$locker" ] && wait "$locker"
        sleep 0.2
        [ "$(items)" = "$ended" ] || fail "trial $i: the PROM changed after promcfg-apply ended ($signal, status $status)"
        case $status in
        0) finished=$((finished + 1)) ;;
        129 | 130 | 143)
            grep -q "interrupted by SIG$signal" "$work/out" "$work/err" ||
                fail "trial $i: status $status without a word of the interrupt"
            ended_early=$((ended_early + 1))
            grep -q 'came once promcfg had every answer' "$work/out" && waited=$((waited + 1)) ;;
        *) fail "trial $i: status $status after SIG$signal: $(cat "$work/out" "$work/err")" ;;
        esac
    done
    echo "$count interrupts: $ended_early interrupted ($waited while promcfg had every answer), $finished finished first; 0 writes after a run ended"
    ;;
rounds)
    a=$(promcfg-apply "$work/a.id" >/dev/null 2>&1; items)
    b=$(promcfg-apply "$work/b.id" >/dev/null 2>&1; items)
    last_a=0 last_b=0
    i=0
    while [ $i -lt "$count" ]; do
        i=$((i + 1))
        promcfg-apply "$work/a.id" >"$work/out-a" 2>&1 &
        first=$!
        sleep "0.0$(random_ms 10)"
        promcfg-apply "$work/b.id" >"$work/out-b" 2>&1 || fail "round $i: b: $(cat "$work/out-b")"
        wait $first || fail "round $i: a: $(cat "$work/out-a")"
        now=$(items)
        if [ "$now" = "$a" ]; then
            last_a=$((last_a + 1))
        elif [ "$now" = "$b" ]; then
            last_b=$((last_b + 1))
        else
            fail "round $i: a mixed identity: $now"
        fi
    done
    echo "$count rounds of two runs: $last_a ended with a's identity, $last_b with b's; 0 mixed"
    ;;
*) fail "unknown trial $kind" ;;
esac
