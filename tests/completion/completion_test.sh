#!/bin/bash
# Drives the bash completions of promcfg, promsim and promcfg-apply as bash would: sets
# COMP_WORDS, COMP_CWORD, COMP_LINE and COMP_POINT, calls the completion
# function and compares the sorted COMPREPLY with the table. Runs once on
# plain bash and, when it is installed, once on top of bash-completion.
# Usage: completion_test.sh [SOURCE_DIR]
set -u
src=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
bash_completion=${BASH_COMPLETION_SCRIPT:-/usr/share/bash-completion/bash_completion}
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT
touch "$scratch/blade.img"

seq_words() { local w; for w in "$@"; do printf '%s ' "$w"; done; }

# command line (the cursor at its end) | expected candidates, any order
cases=(
    "promcfg |-i -r -s -b -c -m -x -t -z -e -D -q -v -P -p -h -H"
    "promcfg -P|-P"
    "promcfg -x |telco bc1 bc2 bc10 ht bcs bce-r"
    "promcfg -x bc|bc1 bc2 bc10 bcs bce-r"
    "promcfg -x bc1|bc1 bc10"
    "promcfg -sx t|telco"
    "promcfg -xh|-xht"
    "promcfg -x telco -D |$(seq_words 110 111 112 113 120 121 13{0..7} 140 141 160 161 50{0..9} 50{a..f} 52f 8010 8011)"
    "promcfg -D 5|$(seq_words 50{0..9} 50{a..f} 52f)"
    "promcfg -D 52|52f"
    "promcfg -D 51|"
    "promcfg -D 16|160 161"
    "promcfg -D 8|8010 8011"
    "promcfg -D 0x11|0x110 0x111 0x112 0x113"
    "promcfg -D13|$(seq_words -D13{0..7})"
    "promcfg -D|-D"
    "promcfg -D 9|"
    "promsim |reset set unset get list tlvs dump poke save load status absent present help version --help -h --version"
    "promsim s|set save status"
    "promsim reset |system blade kestrel all"
    "promsim get asic-mac4|asic-mac4 $(seq_words asic-mac4{0..7})"
    "promsim set sub|$(seq_words subassy{0..7}) subassy-count"
    "promsim unset p|product-id product-subtype port-count product-code"
    "promsim get c|chassis-sn clei"
    "promsim dump |system blade kestrel"
    "promsim poke k|kestrel"
    "promsim absent |blade kestrel"
    "promsim present s|"
    "promsim set mac0 |"
    "promsim list |"
    "promsim save blade $scratch/bl|$scratch/blade.img"
    "promsim load system $scratch/bl|$scratch/blade.img"
    "promcfg-apply --|--show --json --dry-run --force --promcfg --layout --timeout --lock --help --version"
    "promcfg-apply --d|--dry-run"
    "promcfg-apply --timeout |"
    "promcfg-apply $scratch/bl|$scratch/blade.img"
    "promcfg-apply --layout $scratch/bl|$scratch/blade.img"
)

run_table() {
    source "$src/completion/promcfg" && source "$src/completion/promsim" &&
        source "$src/completion/promcfg-apply" || return 1
    local failed=0 row line expected words function got
    for row in "${cases[@]}"; do
        line=${row%%|*} expected=${row#*|}
        read -ra words <<<"$line"
        [[ $line == *' ' ]] && words+=("")
        function=$(complete -p "${words[0]}" | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
        COMP_WORDS=("${words[@]}") COMP_CWORD=$((${#words[@]} - 1))
        COMP_LINE=$line COMP_POINT=${#line} COMPREPLY=()
        "$function" "${words[0]}" "${words[COMP_CWORD]}" "${words[COMP_CWORD - 1]}"
        got=$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | xargs)
        expected=$(printf '%s\n' $expected | sort | xargs)
        if [[ $got != "$expected" ]]; then
            printf '%s: "%s"\n  expected: %s\n  got:      %s\n' "$1" "$line" "$expected" "$got"
            failed=1
        fi
    done
    return $failed
}

status=0
(run_table "plain bash") || status=1
if [[ -r $bash_completion ]]; then
    (source "$bash_completion" && run_table "with bash-completion") || status=1
else
    echo "note: $bash_completion absent; tested on plain bash only"
fi
exit $status
