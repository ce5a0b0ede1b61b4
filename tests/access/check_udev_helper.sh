#!/usr/bin/env bash
# The rule installer, built to work on a scratch tree: what it writes, what it leaves
# alone, what it runs, and when it refuses.
#   check_udev_helper.sh HELPER SANDBOX RULE
# HELPER is the sandboxed build, SANDBOX the tree it was built to work on, RULE the
# packaged rule it must write byte for byte.
set -uo pipefail
helper=$1 root=$2 rule=$3
errors=0
fail() { echo "FAIL: $*" >&2; errors=$((errors + 1)); }

# As root here; elsewhere as root of a user namespace, which writes as the real user.
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    unshare -r true 2>/dev/null || { echo "skipped: needs root or user namespaces"; exit 77; }
    as_root=(unshare -r)
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT

# A fresh tree with udev's configuration folder and a udevadm that notes each call and
# the environment it was given; $1 is udevadm's exit status.
fresh_tree() {
    rm -rf "$root"
    mkdir -p "$root/etc/udev" "$root/usr/bin" "$root/etc/other"
    echo keep >"$root/etc/other/file"
    printf '#!/bin/sh\necho "$*" >>%s\nenv | grep -q KX_CANARY && echo "environment leaked" >>%s\nexit %s\n' \
        "$log" "$log" "${1:-0}" >"$root/usr/bin/udevadm"
    chmod 755 "$root/usr/bin/udevadm"
    : >"$log"
}
listing() { (cd "$root" && find . -printf '%p %y %m %s %T@\n' | sort); }
run() { KX_CANARY=1 "${as_root[@]}" "$helper" 2>/dev/null; }
dest="$root/etc/udev/rules.d/70-kx5170.rules"

# First run: the rule, its folder, udev reloaded and triggered; nothing else.
fresh_tree
before=$(listing)
run; status=$?
[ $status -eq 0 ] || fail "first run exited $status"
cmp -s "$dest" "$rule" || fail "the rule written differs from the packaged one"
[ "$(stat -c %a "$dest")" = 644 ] || fail "the rule has mode $(stat -c %a "$dest"), not 644"
# /etc/udev itself only changes its time stamp, for the folder made in it.
added=$(diff <(echo "$before") <(listing) | sed -n 's/^> \([^ ]*\) .*/\1/p' | sort | tr '\n' ' ')
[ "$added" = "./etc/udev ./etc/udev/rules.d ./etc/udev/rules.d/70-kx5170.rules " ] || fail "changed: $added"
expected_calls=$'control --reload\ntrigger --subsystem-match=hidraw --action=change'
[ "$(cat "$log")" = "$expected_calls" ] || fail "udevadm was run as: $(cat "$log")"

# Second run: nothing changes on disk, not even a time stamp.
after=$(listing)
: >"$log"
run || fail "second run failed"
[ "$(listing)" = "$after" ] || fail "a second run changed files"
[ "$(cat "$log")" = "$expected_calls" ] || fail "second run: udevadm was run as: $(cat "$log")"

# A stale rule, a rule with the wrong mode and a link in its place are all replaced by
# the file itself; the link's target is left alone.
for stale in text mode link; do
    fresh_tree
    mkdir -p "$root/etc/udev/rules.d"
    case $stale in
        text) echo 'SUBSYSTEM=="hidraw", MODE="0666"' >"$dest" ;;
        mode) cp "$rule" "$dest" && chmod 666 "$dest" ;;
        link) ln -s ../../other/file "$dest" ;;
    esac
    run || fail "$stale: exited $?"
    { [ -f "$dest" ] && [ ! -L "$dest" ] && cmp -s "$dest" "$rule" && [ "$(stat -c %a "$dest")" = 644 ]; } ||
        fail "$stale: not replaced by the rule"
    [ "$(cat "$root/etc/other/file")" = keep ] || fail "$stale: the link's target was written"
    [ -z "$(find "$root/etc/udev/rules.d" -name '.*' -type f)" ] || fail "$stale: a temporary file was left"
done

# Refusals: an argument of any kind, or a caller that is not root. Nothing is written.
check_refused() {
    local what=$1 expected=$2
    shift 2
    fresh_tree
    local before status
    before=$(listing)
    "$@" 2>/dev/null
    status=$?
    [ $status -eq "$expected" ] || fail "$what: exited $status, expected $expected"
    [ "$(listing)" = "$before" ] || fail "$what: files changed"
    [ -s "$log" ] && fail "$what: udevadm was run"
}
check_refused "an argument" 1 "${as_root[@]}" "$helper" /tmp
check_refused "an empty argument" 1 "${as_root[@]}" "$helper" ""
if [ "$(id -u)" -eq 0 ]; then
    check_refused "not root" 1 setpriv --reuid=65534 --regid=65534 --clear-groups "$helper"
    check_refused "root only in effect" 1 setpriv --ruid=65534 "$helper"
else
    check_refused "not root" 1 "$helper"
fi

# No udev on the machine: nothing to install into. udevadm failing: the rule is in
# place, but the caller must hear that it was not applied.
fresh_tree
rm -rf "$root/etc/udev"
run; status=$?
[ $status -eq 2 ] || fail "without /etc/udev: exited $status, expected 2"
[ -e "$root/etc/udev" ] && fail "without /etc/udev: it was created"
fresh_tree 1
run; status=$?
[ $status -eq 3 ] || fail "udevadm failing: exited $status, expected 3"

rm -rf "$root"
if [ $errors -ne 0 ]; then
    echo "$errors problem(s) found" >&2
    exit 1
fi
echo ok
