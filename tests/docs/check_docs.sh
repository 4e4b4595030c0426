#!/bin/sh
# What a reader must find where they look first: the warnings and facts
# that the tool's fixed console output cannot give. Each line names a file,
# a text it must hold (grep -E) and why.
# usage: check_docs.sh SOURCE_DIR
set -eu
cd "$1"
status=0
need() {
    grep -Eq -- "$2" "$1" || { echo "$1 lacks '$2': $3"; status=1; }
}
never() {
    ! grep -Eq -- "$2" "$1" || { echo "$1 holds '$2': $3"; status=1; }
}

intro=$(sed -n '1,/^## Quick start/p' README.md)
printf '%s\n' "$intro" | grep -q '`-q` is not "quiet"' ||
    { echo "README.md: the -q warning must come before the quick start"; status=1; }
need README.md 'export PROMSIM_DIR=\$\(mktemp -d\)' "examples use a fresh private folder"
never README.md '/tmp/sim|/tmp/[a-z]+\.img' "no shared example folder or file"
need README.md '`10\.1\.2\.300` is stored as' "addresses keep their low 8 bits"
need README.md 'address flag at byte 6' "the management block's bytes"
need README.md 'glibc 2\.34 or later' "what the switch must provide"
# The example session's backup comes before the delete.
session=$(sed -n '/^Example session/,/^Things that surprise/p' README.md)
[ "$(printf '%s\n' "$session" | grep -n 'promsim save\|promcfg -D' | cut -c1-40 | sed -n 1p | grep -c 'promsim save')" = 1 ] ||
    { echo "README.md: the example session must save before it deletes"; status=1; }

need docs/man/promcfg.8 'is not \\\(lqquiet' "-q warned about where the manual starts"
need docs/man/promcfg.8 '^\.B 10\.1\.2\.300$' "addresses keep their low 8 bits"
need docs/man/promcfg.8 '^11 to 14	netmask' "the management block's bytes"
need docs/man/promcfg.8 'glibc 2\.34 or' "what the switch must provide"
need docs/man/promcfg.8 'the note starts a line of its own' "where the end-of-input note goes"
need docs/man/promsim.1 'cleared \(all bytes 0x00\)' "a cleared blade VPD is no data"
need docs/man/promsim.1 'unknown function' "PROMSIM_FAIL names are checked"
need docs/man/promsim.1 'is tightened to 0700' "an own loose folder is tightened"
need docs/man/promsim.1 'mktemp \\-d' "examples use a fresh private folder"
never docs/man/promsim.1 '^promsim (save|load) .*/tmp/' "no shared example file"
exit $status
