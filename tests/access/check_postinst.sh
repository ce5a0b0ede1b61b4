#!/usr/bin/env bash
# The package's postinst, on a root made here (dpkg's DPKG_ROOT): it removes the copy
# of the rule that the rule installer wrote in /etc, which would hide the packaged
# rule for good, and nothing else; the running system is never touched.
#   check_postinst.sh SOURCE_DIR
set -uo pipefail
src=$1
. "$(dirname "$0")/../packaging/common.sh"
postinst=$src/packaging/linux/debian/postinst
rule=$src/packaging/linux/70-kx5170.rules
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
copy=$scratch/etc/udev/rules.d/70-kx5170.rules

# what | how the copy is made | left (yes/no) | postinst's first argument
cases=(
    'the installer'"'"'s copy|cp "$rule" "$copy"|no|configure'
    'the installer'"'"'s copy, other mode|cp "$rule" "$copy" && chmod 600 "$copy"|no|configure'
    'an administrator'"'"'s text|echo "# mine" >"$copy"|yes|configure'
    'the rule and a line more|{ cat "$rule"; echo "# mine"; } >"$copy"|yes|configure'
    'a mask|ln -s /dev/null "$copy"|yes|configure'
    'an empty file|: >"$copy"|yes|configure'
    'a link to a copy of the rule|cp "$rule" "$scratch/etc/mine" && ln -s ../../mine "$copy"|yes|configure'
    'not a configure|cp "$rule" "$copy"|yes|abort-upgrade'
)
for row in "${cases[@]}"; do
    IFS='|' read -r what how left action <<<"$row"
    rm -rf "$scratch/etc"
    mkdir -p "$scratch/etc/udev/rules.d"
    eval "$how"
    out=$(DPKG_ROOT=$scratch PATH=/usr/bin:/bin sh "$postinst" "$action" 1.00 2>&1) || fail "$what: postinst failed: $out"
    if [ -e "$copy" ] || [ -L "$copy" ]; then got=yes; else got=no; fi
    [ "$got" = "$left" ] || fail "$what: left $got, expected $left"
done
# The packaged rule is one the postinst knows: a changed rule must add its sum there.
grep -q "^$(sha256sum <"$rule" | cut -d ' ' -f 1)\$" "$postinst" ||
    fail "the packaged rule's SHA-256 is not among the postinst's known rules"
finish
