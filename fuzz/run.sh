#!/bin/sh
# Fuzzing: in-process libFuzzer targets (clang-14, AddressSanitizer +
# UndefinedBehaviorSanitizer) for the parsers of the tool, of promcfg-apply
# and of the emulators, and for promcfg-apply's dialogue with promcfg and
# its judgement of a run; and the AFL++ harness of promcfg's console
# dialogues ("console").
#   fuzz/run.sh smoke                   every target briefly, from its seeds (CI);
#                                       fails on any finding
#   fuzz/run.sh campaign SECONDS [TARGET...]
#                                       a time-boxed run, the time shared among the
#                                       targets (default: all); corpora, findings and
#                                       statistics accumulate in fuzz/out/
#   fuzz/run.sh coverage                line coverage of each target's code, replaying
#                                       its campaign corpus (fuzz/out/coverage/)
# Everything it writes is under fuzz/out/ (ignored by git). The machine is
# shared: run one of these at a time, long campaigns under nice -n 19.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=$here/out
inprocess="hex_text strtol32 dotted_quad system_prom fail_rules promsim_args identity_file display dialogue"
all="$inprocess console"

die() { echo "fuzz/run.sh: $*" >&2; exit 1; }

# Per-target libFuzzer options: input size, dictionary, output of the code
# under test hidden from the log.
options()
{
    case "$1" in
    hex_text)     echo "-max_len=64" ;;
    strtol32)     echo "-max_len=96" ;;
    dotted_quad)  echo "-max_len=96" ;;
    system_prom)  echo "-max_len=8300" ;;
    fail_rules)   echo "-max_len=256 -dict=$here/dict/fail_rules.dict" ;;
    promsim_args) echo "-max_len=512 -dict=$here/dict/promsim_args.dict -close_fd_mask=3" ;;
    identity_file) echo "-max_len=4096 -dict=$here/dict/identity_file.dict" ;;
    display)      echo "-max_len=4096" ;;
    dialogue)     echo "-max_len=2048 -dict=$here/dict/dialogue.dict" ;;
    *) die "unknown target '$1' (targets: $all)" ;;
    esac
}

configure_and_build()
{
    engine=$1 dir=$out/build-$1
    shift
    [ -f "$dir/CMakeCache.txt" ] || cmake -S "$here" -B "$dir" -DFUZZ_ENGINE="$engine" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)" >"$out/logs/build-$engine.log" 2>&1 ||
        { tail -40 "$out/logs/build-$engine.log" >&2; die "the $engine build failed"; }
}

build()
{
    "$root/setup-deps.sh" fuzz
    mkdir -p "$out/logs" "$out/stats"
    case " $* " in
    *" libfuzzer "*) CC=clang-14 CXX=clang++-14 configure_and_build libfuzzer ;;
    esac
    case " $* " in
    *" afl "*)
        # LTO instrumentation (collision-free edges, dictionary from the
        # program's own constants) when this AFL++ has it.
        # UndefinedBehaviorSanitizer only: forking an AddressSanitizer
        # process costs seven times the run itself. The queue is replayed
        # under both sanitizers afterwards (replay_console).
        if command -v afl-clang-lto++ >/dev/null 2>&1 && command -v llvm-ar-14 >/dev/null 2>&1; then
            CC=afl-clang-lto CXX=afl-clang-lto++ configure_and_build afl -DFUZZ_SANITIZE=undefined \
                -DCMAKE_AR="$(command -v llvm-ar-14)" -DCMAKE_RANLIB="$(command -v llvm-ranlib-14)"
        else
            CC=afl-clang-fast CXX=afl-clang-fast++ configure_and_build afl -DFUZZ_SANITIZE=undefined
        fi ;;
    esac
    case " $* " in
    *" coverage "*) CC=clang-14 CXX=clang++-14 configure_and_build coverage ;;
    esac
}

# A folder for the emulated hardware on tmpfs, where fsync costs nothing.
sim_folder()
{
    base=/dev/shm
    [ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
    mktemp -d "$base/promcfg-fuzz-XXXXXX"
}

tally=  # set by campaign: smoke runs stay out of the statistics

record()  # target seconds executions status
{
    [ -n "$tally" ] || return 0
    printf '%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$1" "$2" "$3" "$4" \
        >>"$out/stats/runs.tsv"
}

# run_libfuzzer TARGET SECONDS CORPUS
run_libfuzzer()
{
    target=$1 seconds=$2 corpus=$3
    findings=$out/findings/$target log=$out/logs/$target.log
    mkdir -p "$corpus" "$findings"
    status=0
    # shellcheck disable=SC2046
    "$out/build-libfuzzer/bin/fuzz_$target" $(options "$target") \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "$here/seeds/$target" >"$log" 2>&1 || status=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | sed -n 's/.*\(cov: [0-9]*\).*/\1/p')
    record "$target" "$seconds" "${execs:-0}" "$status"
    printf '%-13s %10s executions  %-9s status %s\n' "$target" "${execs:-0}" "${cov:-}" "$status"
    if [ "$status" -ne 0 ]; then
        grep -E 'ERROR|check failed|runtime error|SUMMARY|Test unit written' "$log" >&2 || tail -30 "$log" >&2
        return 1
    fi
}

afl_stat()  # FILE NAME
{
    sed -n "s/^$2 *: *//p" "$1" 2>/dev/null
}

# run_afl SECONDS OUTPUT
run_afl()
{
    seconds=$1 output=$2 stats=$2/default/fuzzer_stats
    before=$(afl_stat "$stats" execs_done)
    sim=$(sim_folder)
    status=0
    PROMSIM_DIR=$sim AFL_AUTORESUME=1 AFL_NO_UI=1 AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 \
        AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_SKIP_BIN_CHECK=1 \
        afl-fuzz -i "$here/seeds/console" -o "$output" -x "$here/dict/console.dict" \
        -V "$seconds" -t 1000 -m none -- "$out/build-afl/bin/afl_promcfg" \
        >"$out/logs/console.log" 2>&1 || status=$?
    rm -rf "$sim"
    after=$(afl_stat "$stats" execs_done)
    execs=$(( ${after:-0} - ${before:-0} ))
    crashes=$(afl_stat "$stats" saved_crashes)
    hangs=$(afl_stat "$stats" saved_hangs)
    record console "$seconds" "$execs" "$status"
    printf '%-13s %10s executions  edges %s  crashes %s  hangs %s  status %s\n' console \
        "$execs" "$(afl_stat "$stats" bitmap_cvg)" "${crashes:-?}" "${hangs:-?}" "$status"
    if [ "$status" -ne 0 ] || [ "${crashes:-1}" -ne 0 ] || [ "${hangs:-1}" -ne 0 ]; then
        tail -20 "$out/logs/console.log" >&2
        echo "findings: $output/default/crashes $output/default/hangs" >&2
        return 1
    fi
}

# Replays the AFL queue entries not replayed before with the
# AddressSanitizer + UndefinedBehaviorSanitizer build of the harness; a
# sanitizer report is a finding, kept in fuzz/out/findings/console/.
replay_console()
{
    output=$1 done_list=$1/asan-replayed findings=$out/findings/console
    mkdir -p "$findings"
    touch "$done_list"
    sim=$(sim_folder)
    count=0 reports=0
    for input in "$output"/default/queue/id* "$output"/default/crashes/id* "$output"/default/hangs/id*; do
        [ -f "$input" ] || continue
        name=${input#"$output"/default/}
        grep -qxF "$name" "$done_list" && continue
        PROMSIM_DIR=$sim ASAN_OPTIONS=detect_leaks=1 timeout 20 \
            "$out/build-libfuzzer/bin/afl_promcfg" <"$input" >/dev/null 2>"$out/logs/replay.err" || true
        if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error' "$out/logs/replay.err"; then
            reports=$((reports + 1))
            cp "$input" "$findings/"
            cp "$out/logs/replay.err" "$findings/$(basename "$input").txt"
        fi
        echo "$name" >>"$done_list"
        count=$((count + 1))
    done
    rm -rf "$sim"
    printf '%-13s %10s inputs replayed under AddressSanitizer, %s reports\n' console "$count" "$reports"
    [ "$reports" -eq 0 ] || { echo "sanitizer reports: $findings" >&2; return 1; }
}

smoke()
{
    build libfuzzer afl
    rm -rf "$out/smoke"
    failed=0
    for target in $inprocess; do
        run_libfuzzer "$target" 8 "$out/smoke/$target" || failed=1
    done
    run_afl 20 "$out/smoke/console" || failed=1
    replay_console "$out/smoke/console" || failed=1
    [ "$failed" -eq 0 ] || die "findings (see above)"
    echo "fuzz smoke: $(echo $all | wc -w) targets, no findings"
}

campaign()
{
    seconds=$1
    shift
    targets=${*:-$all}
    count=$(echo "$targets" | wc -w)
    share=$((seconds / count))
    [ "$share" -ge 10 ] || die "give at least 10 seconds per target"
    tally=1
    build libfuzzer afl
    failed=0
    for target in $targets; do
        if [ "$target" = console ]; then
            run_afl "$share" "$out/afl" || failed=1
            replay_console "$out/afl" || failed=1
        else
            options "$target" >/dev/null
            run_libfuzzer "$target" "$share" "$out/corpus/$target" || failed=1
        fi
    done
    echo "executions so far, by target (fuzz/out/stats/runs.tsv):"
    awk -F'\t' '{ n[$2] += $4; t[$2] += $3 } END { for (k in n) printf "  %-13s %12d in %6d s\n", k, n[k], t[k] }' \
        "$out/stats/runs.tsv" | sort
    [ "$failed" -eq 0 ] || die "findings in fuzz/out/findings/ or fuzz/out/afl/default/"
}

# The code each target exercises, for its coverage report.
subjects()
{
    case "$1" in
    hex_text)     echo "prom/hex_text.cpp" ;;
    strtol32)     echo "driver/ground/strtol32.h" ;;
    dotted_quad)  echo "bladevpd/mgmt_data.cpp" ;;
    system_prom)  echo "platform/emulator/swserv/tlv_store.cpp platform/emulator/swserv/system_prom.cpp" ;;
    fail_rules)   echo "platform/emulator/support/fault_hooks.cpp platform/emulator/support/checked_number.cpp" ;;
    promsim_args) (cd "$root" && ls tools/promsim*.cpp) ;;
    identity_file) echo "apply/identity_file.cpp apply/checks.cpp apply/value_check.cpp" ;;
    display)      echo "apply/display_parser.cpp apply/show.cpp apply/json.cpp" ;;
    dialogue)     echo "apply/dialogue.cpp apply/act_judge.cpp apply/plan.cpp apply/session_reading.cpp apply/tool_run.cpp" ;;
    console)      (cd "$root" && ls driver/*.cpp driver/ground/*.cpp prom/*.cpp bladevpd/*.cpp kestrel/*.cpp) ;;
    esac
}

focus()
{
    case "$1" in
    hex_text)    echo hex_text_to_bytes ;;
    dotted_quad) echo parse_dotted_quad ;;
    system_prom) echo parse_store ;;
    identity_file) echo read_identity_file ;;
    display)     echo parse_display ;;
    dialogue)    echo judge_run ;;
    esac
}

coverage()
{
    build coverage
    report=$out/coverage
    rm -rf "$report"
    mkdir -p "$report/profiles"
    echo "line coverage; reports in $report/"
    for target in $all; do
        if [ "$target" = console ]; then
            binary=$out/build-coverage/bin/afl_promcfg
            sim=$(sim_folder)
            for input in "$here/seeds/console"/* "$out/afl/default/queue"/id*; do
                [ -f "$input" ] || continue
                PROMSIM_DIR=$sim LLVM_PROFILE_FILE="$report/profiles/console-%p.profraw" \
                    timeout 10 "$binary" <"$input" >/dev/null 2>&1 || true
            done
            rm -rf "$sim"
        else
            binary=$out/build-coverage/bin/fuzz_$target
            mkdir -p "$out/corpus/$target"
            # shellcheck disable=SC2046
            LLVM_PROFILE_FILE="$report/profiles/$target-%p.profraw" "$binary" $(options "$target") \
                -runs=0 "$out/corpus/$target" "$here/seeds/$target" >/dev/null 2>&1
        fi
        llvm-profdata-14 merge -sparse "$report/profiles/$target"-*.profraw -o "$report/$target.profdata"
        # shellcheck disable=SC2046
        (cd "$root" && llvm-cov-14 report "$binary" -instr-profile="$report/$target.profdata" \
            $(subjects "$target") && llvm-cov-14 report --show-functions "$binary" \
            -instr-profile="$report/$target.profdata" $(subjects "$target")) >"$report/$target.txt"
        # Line coverage of each file, and of the function a target is
        # mostly about (the only one, where its file holds console code).
        lines=$(awk -v focus="$(focus "$target")" -v whole="$([ "$target" = console ] && echo 1)" '
            /^Filename/ { table++ }
            /^---/ { rule++; next }
            table == 1 && rule == 1 && !whole { n = split($1, path, "/"); printf "%s%s %s of %s lines", sep, path[n], $10, $8; sep = ", " }
            table == 1 && rule == 1 && whole { files++ }
            table == 1 && $1 == "TOTAL" && whole { printf "the tool, %d files: %s of %s lines", files, $10, $8; exit }
            focus != "" && !shown && $1 ~ focus && NF >= 7 { printf "%s%s() %s of %s lines", sep, focus, $7, $5; shown = 1 }
        ' "$report/$target.txt")
        printf '%-13s %s\n' "$target" "$lines"
    done
}

main()
{
    case "${1:-}" in
    smoke)    smoke ;;
    campaign) [ $# -ge 2 ] || die "usage: fuzz/run.sh campaign SECONDS [TARGET...]"
              shift; campaign "$@" ;;
    coverage) coverage ;;
    *) echo "usage: fuzz/run.sh smoke | campaign SECONDS [TARGET...] | coverage" >&2; exit 2 ;;
    esac
}

# On one line: read whole before it runs, so that editing this file while a
# long campaign runs cannot change what it does.
main "$@"; exit $?
