#!/bin/bash
# Installs the build into a scratch root, as a package build would with
# DESTDIR, and checks every file lands where the desktop and udev look.
# Usage: check_install.sh CMAKE BUILD_DIR SOURCE_DIR SCRATCH_DIR
set -u
. "$(dirname "$0")/common.sh"

cmake=$1 build=$2 src=$3 scratch=$4
rm -rf "$scratch" && mkdir -p "$scratch"

if ! DESTDIR="$scratch/usr-root" "$cmake" --install "$build" --prefix /usr > "$scratch/usr.log" 2>&1; then
    cat "$scratch/usr.log" >&2
    echo "FAIL: cmake --install --prefix /usr failed" >&2
    exit 1
fi
check_installed_tree "$scratch/usr-root" "$src"
grep -q "udev does not read rules" "$scratch/usr.log" &&
    fail "install under /usr warns about the udev rule location"

# A hand install under /usr/local: the rule goes where udev does not look,
# and the install says what to do about it.
if DESTDIR="$scratch/local-root" "$cmake" --install "$build" --prefix /usr/local > "$scratch/local.log" 2>&1; then
    [ -f "$scratch/local-root/usr/local/lib/udev/rules.d/70-kx5170.rules" ] ||
        fail "rule not installed under the /usr/local prefix"
    grep -q "copy 70-kx5170.rules to /etc/udev/rules.d" "$scratch/local.log" ||
        fail "install under /usr/local does not say to copy the rule to /etc/udev/rules.d"
else
    cat "$scratch/local.log" >&2
    fail "cmake --install --prefix /usr/local failed"
fi

finish
