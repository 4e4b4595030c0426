#!/bin/sh
# Makes a stand-in for the switch's sysroot in DIR: the platform headers cut
# down to declarations (what the switch's own headers provide: the swServ
# and kestrel_ functions, VPD_Client and the record types; no comment, check
# or macro of this project's), and libraries with the switch libraries'
# names and SONAMEs that export exactly that API. A build for the switch
# against it proves the tool relies on nothing else.
#   packaging/switch-sysroot/make-stub-sysroot.sh DIR [CXX]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
dir=$1
cxx=${2:-powerpc-linux-gnu-g++}
mkdir -p "$dir/usr/include" "$dir/usr/lib"
for header in swServerApi.h VPD_Client.h kestrelApi.h; do
    # Drop comment lines, trailing comments and the project's own checks.
    sed -e '/^[[:space:]]*\/\//d' -e 's|[[:space:]]*//.*$||' -e 's|[[:space:]]*/\*.*\*/||' \
        -e '/static_assert/d' -e '/#include <cstddef>/d' \
        "$here/../../platform/include/$header" > "$dir/usr/include/$header"
done
build() {  # library name, the define that selects its stubs
    "$cxx" -std=c++17 -shared -fPIC -O2 -D"$2" -I"$dir/usr/include" \
        -Wl,-soname,"lib$1.so" -Wl,--version-script,"$here/exports.map" \
        -o "$dir/usr/lib/lib$1.so" "$here/stubs.cpp"
}
build swServerApi STUB_SWSERV
build fcsmapi STUB_FCSM
build i2cApi STUB_NONE
build crcApi STUB_NONE
build kestrelApi STUB_KESTREL
