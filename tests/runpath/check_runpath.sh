#!/bin/sh
# Fails when an ELF file's RUNPATH or RPATH holds an empty entry: the loader
# reads one as the current folder, so a library lying there would be loaded.
# usage: check_runpath.sh READELF FILE...
set -eu
readelf=$1
shift
status=0
for file in "$@"; do
    dynamic=$("$readelf" -d "$file") || { echo "$file: cannot be read"; status=1; continue; }
    paths=$(printf '%s\n' "$dynamic" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]$/\2/p')
    for path in $paths; do
        case ":$path:" in
        *::*) echo "$file: empty entry in its library path '$path'"; status=1 ;;
        esac
    done
done
exit $status
