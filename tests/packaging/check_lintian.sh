#!/bin/bash
# Builds the Debian package into a scratch directory and runs lintian on it: any
# error or warning fails (information tags do not).
# Usage: check_lintian.sh CPACK BUILD_DIR SCRATCH_DIR
set -u
. "$(dirname "$0")/common.sh"

cpack=$1 build=$2 scratch=$3
need_tool lintian lintian
need_tool dpkg-shlibdeps dpkg-dev

rm -rf "$scratch" && mkdir -p "$scratch"
if ! (cd "$scratch" && "$cpack" -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake") \
        > "$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack failed" >&2
    exit 1
fi

# lintian says so when it runs as root; that is no finding about the package.
lintian --tag-display-limit 0 "$scratch"/out/*.deb > "$scratch/lintian.log" 2>&1
findings=$(grep -E '^[EW]: ' "$scratch/lintian.log")
if [ -n "$findings" ]; then
    echo "$findings" >&2
    fail "lintian reports errors or warnings"
fi
finish
