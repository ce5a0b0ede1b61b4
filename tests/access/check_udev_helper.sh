#!/usr/bin/env bash
# The rule installer, built to work on a scratch tree: what it writes, what it leaves
# alone, what it runs, and when it refuses.
#   check_udev_helper.sh HELPER SANDBOX RULE
# HELPER is the sandboxed build, SANDBOX the tree it was built to work on, RULE the
# packaged rule it must write byte for byte.
set -uo pipefail
. "$(dirname "$0")/../packaging/common.sh"
helper=$1 root=$2 rule=$3

# As root here; elsewhere as root of a user namespace, which writes as the real user.
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    unshare -r true 2>/dev/null || { echo "skipped: needs root or user namespaces"; exit 77; }
    as_root=(unshare -r)
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
dest=$root/etc/udev/rules.d/70-kx5170.rules
# Only the board's node is told: not another device, nor another product of its vendor.
calls="control --reload
trigger --action=change $root/sys/class/hidraw/hidraw1"

# A fresh tree with udev's configuration folder, a udevadm that notes each call and
# any environment handed down to it ($1 is its exit status), and hidraw nodes in sysfs:
# a mouse, the board, another product of the board's vendor, a node without an ID.
fresh_tree() {
    rm -rf "$root"
    mkdir -p "$root/etc/udev" "$root/usr/bin" "$root/etc/other"
    echo keep >"$root/etc/other/file"
    local n id
    for n in 0 1 2 3; do
        mkdir -p "$root/sys/class/hidraw/hidraw$n/device"
        id=("HID_ID=0003:0000046D:0000C31C" "HID_ID=0003:00006C1B:00005E12" "HID_ID=0003:00006C1B:00005E14" "")
        printf 'DRIVER=hid-generic\n%s\nHID_NAME=x\n' "${id[$n]}" >"$root/sys/class/hidraw/hidraw$n/device/uevent"
    done
    printf '#!/bin/sh\necho "$*" >>%s\nenv | grep -q KX_CANARY && echo "environment leaked" >>%s\nexit %s\n' \
        "$log" "$log" "${1:-0}" >"$root/usr/bin/udevadm"
    chmod 755 "$root/usr/bin/udevadm"
    : >"$log"
}
listing() { (cd "$root" && find . -printf '%p %y %m %s %T@\n' | sort); }
run() { KX_CANARY=1 "${as_root[@]}" "$helper" "$@" 2>/dev/null; }
# expect WHAT STATUS [UDEVADM_CALLS]
expect() {
    [ "$status" -eq "$2" ] || fail "$1: exited $status, expected $2"
    [ "$(cat "$log")" = "${3:-}" ] || fail "$1: udevadm was run as: $(cat "$log")"
}

# First run: the rule and its folder, nothing else; udev reloaded and triggered. A
# second run changes nothing on disk, not even a time stamp.
fresh_tree
before=$(listing)
run; status=$?
expect "first run" 0 "$calls"
cmp -s "$dest" "$rule" || fail "the rule written differs from the packaged one"
[ "$(stat -c %a "$dest")" = 644 ] || fail "the rule has mode $(stat -c %a "$dest"), not 644"
# /etc/udev itself only changes its time stamp, for the folder made in it.
added=$(diff <(echo "$before") <(listing) | sed -n 's/^> \([^ ]*\) .*/\1/p' | tr '\n' ' ')
[ "$added" = "./etc/udev ./etc/udev/rules.d ./etc/udev/rules.d/70-kx5170.rules " ] || fail "changed: $added"
after=$(listing)
: >"$log"
run; status=$?
expect "second run" 0 "$calls"
[ "$(listing)" = "$after" ] || fail "a second run changed files"
# No board plugged in: nothing to tell but udev itself.
fresh_tree
rm -rf "$root/sys/class/hidraw/hidraw1"
run; status=$?
expect "no board" 0 "control --reload"

# Our own rule with the wrong mode is put right, in one step: no temporary file stays.
fresh_tree
mkdir -p "$root/etc/udev/rules.d"
cp "$rule" "$dest" && chmod 666 "$dest"
run; status=$?
expect "mode" 0 "$calls"
{ [ ! -L "$dest" ] && cmp -s "$dest" "$rule" && [ "$(stat -c %a "$dest")" = 644 ]; } || fail "mode: not put right"
[ -z "$(find "$root/etc/udev/rules.d" -name '.*' -type f)" ] || fail "mode: a temporary file was left"

# What the administrator put there is theirs, and the packaged rule must not be
# shadowed by a copy in /etc: each left as it is, nothing run, its own status.
#   what | status | how
left_alone=(
    'mask|4|ln -s /dev/null "$dest"'
    'empty file|4|: >"$dest"'
    'other text|5|echo "SUBSYSTEM==\"hidraw\", MODE=\"0666\"" >"$dest"'
    'the rule and a byte more|5|{ cat "$rule"; echo; } >"$dest"'
    'another product, same length|5|sed "s/5e13/5e14/" "$rule" >"$dest"'
    'a link to a copy of the rule|5|cp "$rule" "$root/etc/other/file" && ln -s ../../other/file "$dest"'
    'a folder|5|mkdir "$dest"'
    'packaged in /usr/lib|6|mkdir -p "$root/usr/lib/udev/rules.d" && cp "$rule" "$root/usr/lib/udev/rules.d/"'
    'packaged in /lib|6|mkdir -p "$root/lib/udev/rules.d" && cp "$rule" "$root/lib/udev/rules.d/"'
    'masked, packaged too|4|mkdir -p "$root/usr/lib/udev/rules.d" && cp "$rule" "$root/usr/lib/udev/rules.d/" && ln -s /dev/null "$dest"'
)
for row in "${left_alone[@]}"; do
    IFS='|' read -r what code how <<<"$row"
    fresh_tree
    case $how in *'"$dest"'*) mkdir -p "$root/etc/udev/rules.d" ;; esac
    eval "$how"
    before=$(listing)
    run; status=$?
    expect "$what" "$code"
    [ "$(listing)" = "$before" ] || fail "$what: files changed"
done

# Refusals, with nothing written or run: an argument, a caller that is not root. No
# udev on the machine: nothing to install into. udevadm failing: the rule is in place,
# but the caller must hear that it was not applied.
refused() {
    fresh_tree
    local before
    before=$(listing)
    "$@" 2>/dev/null; status=$?
    expect "$*" 1
    [ "$(listing)" = "$before" ] || fail "$*: files changed"
}
refused run /tmp
if [ "$(id -u)" -eq 0 ]; then
    refused setpriv --reuid=65534 --regid=65534 --clear-groups "$helper"
    refused setpriv --ruid=65534 "$helper"  # root only in effect
else
    refused "$helper"
fi
fresh_tree
rm -rf "$root/etc/udev"
run; status=$?
expect "without /etc/udev" 2
[ -e "$root/etc/udev" ] && fail "without /etc/udev: it was created"
fresh_tree 1
run; status=$?
[ "$status" -eq 3 ] || fail "udevadm failing: exited $status, expected 3"
cmp -s "$dest" "$rule" || fail "udevadm failing: the rule is not in place"

rm -rf "$root"
finish
