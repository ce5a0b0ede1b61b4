#!/bin/bash
# Installs the build into scratch roots, as a package build would with DESTDIR, and
# checks every file lands where the desktop and udev look. Under /usr/local the rule
# goes where udev does not look, and the install says what to do about it.
# Usage: check_install.sh CMAKE BUILD_DIR SOURCE_DIR SCRATCH_DIR
set -u
. "$(dirname "$0")/common.sh"

cmake=$1 build=$2 src=$3 scratch=$4
rm -rf "$scratch" && mkdir -p "$scratch"
for prefix in /usr /usr/local; do
    DESTDIR="$scratch/root-$(basename $prefix)" run_logged "$scratch/$(basename $prefix).log" "cmake --install --prefix $prefix" \
        "$cmake" --install "$build" --prefix "$prefix"
done
check_installed_tree "$scratch/root-usr" "$src"
grep -q "udev does not read rules" "$scratch/usr.log" && fail "install under /usr warns about the udev rule location"
[ -f "$scratch/root-local/usr/local/lib/udev/rules.d/70-kx5170.rules" ] ||
    fail "rule not installed under the /usr/local prefix"
grep -q "copy 70-kx5170.rules to /etc/udev/rules.d" "$scratch/local.log" ||
    fail "install under /usr/local does not say to copy the rule to /etc/udev/rules.d"
finish
