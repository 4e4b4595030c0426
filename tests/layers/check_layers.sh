#!/bin/sh
# The tool's include arrows point down: the top (driver/) over the subsystems
# (prom/, bladevpd/, kestrel/) over the ground (driver/ground/), and the
# platform only through platform/include. promcfg-apply (apply/) stands
# beside the tool on the system PROM's tables alone. Prints every arrow that
# breaks this and fails.
#   check_layers.sh SOURCE_DIR
set -u
cd "$1" || exit 2
status=0

# includes FILES...: "file:line:included" for each quoted include.
includes() {
    grep -Hn '^#include "' "$@" | sed 's/#include "\([^"]*\)".*/\1/'
}

# refuse WHY PATTERN FILES...: reports the includes that match PATTERN.
refuse() {
    why=$1 pattern=$2
    shift 2
    found=$(includes "$@" | grep -E ":[0-9]+:($pattern)\$")
    if [ -n "$found" ]; then
        printf '%s\n%s\n' "$why:" "$found"
        status=1
    fi
}

ground=$(ls driver/ground/*.h driver/ground/*.cpp)
for subsystem in prom bladevpd kestrel; do
    files=$(ls $subsystem/*.h $subsystem/*.cpp)
    others=$(echo prom bladevpd kestrel | tr ' ' '\n' | grep -vx $subsystem | paste -sd'|')
    # shellcheck disable=SC2086
    refuse "$subsystem/ includes the driver above its ground" 'driver/[^/]*' $files
    # shellcheck disable=SC2086
    refuse "$subsystem/ includes another subsystem" "($others)/.*" $files
done
# shellcheck disable=SC2086
refuse "driver/ground/ includes a layer above it" '(prom|bladevpd|kestrel)/.*|driver/[^/]*' $ground

# promcfg-apply: its own headers and, by name, the few of the tool that it
# shares (the system PROM's tables and the ground's rule for answer bytes);
# no platform but the emulators' choice of folder, for the bench build's
# default run lock. A header not named here is refused: a new arrow out of
# apply/ is a decision, made here.
apply_may_include='apply/[a-z_]*\.h|prom/identity_items\.h|prom/display_labels\.h|prom/product_table\.h|driver/ground/answer_bytes\.h|driver/ground/identity_item\.h|bladevpd/identity_items\.h|bladevpd/chassis_words\.h|bladevpd/blade_products\.h|kestrel/identity_items\.h'
# shellcheck disable=SC2046
found=$(includes $(ls apply/*.h apply/*.cpp) |
    grep -vE ":[0-9]+:($apply_may_include)\$" |
    grep -v '^apply/lock_default_bench\.cpp:[0-9]*:platform/emulator/support/sim_dir\.h$')
if [ -n "$found" ]; then
    printf '%s\n%s\n' "apply/ includes a header it may not:" "$found"
    status=1
fi

# The platform: only its interfaces, the headers of platform/include.
platform=$(ls platform/include | paste -sd'|')
# shellcheck disable=SC2046
found=$(includes $(ls driver/*.h driver/*.cpp prom/* bladevpd/* kestrel/*) $ground |
    grep -E ':[0-9]+:[^/]*$' | grep -vE ":($platform)\$")
if [ -n "$found" ]; then
    printf '%s\n%s\n' "the tool includes a header outside its folders and platform/include:" "$found"
    status=1
fi
exit $status
