#!/bin/bash
# The udev rule, as the packages install it: the hidraw nodes of the board's three
# products, given to the user at the seat through the uaccess tag alone (no MODE or
# GROUP, so other users stay out), from a file that sorts before systemd's
# 73-seat-late.rules, which turns the tag into an ACL.
# Usage: check_udev_rule.sh RULE_FILE
set -u
. "$(dirname "$0")/common.sh"

rule=$1
[[ "$(basename "$rule")" =~ ^([0-6][0-9]|7[0-2])-.*\.rules$ ]] ||
    fail "$(basename "$rule") does not sort before 73-seat-late.rules"
active=$(grep -v -e '^#' -e '^$' "$rule")
[ "$active" = "$(cat <<'RULE'
ACTION!="remove", SUBSYSTEM=="hidraw", KERNEL=="hidraw*", ATTRS{idVendor}=="6c1b", ATTRS{idProduct}=="5e11", TAG+="uaccess"
ACTION!="remove", SUBSYSTEM=="hidraw", KERNEL=="hidraw*", ATTRS{idVendor}=="6c1b", ATTRS{idProduct}=="5e12", TAG+="uaccess"
ACTION!="remove", SUBSYSTEM=="hidraw", KERNEL=="hidraw*", ATTRS{idVendor}=="6c1b", ATTRS{idProduct}=="5e13", TAG+="uaccess"
RULE
)" ] || fail "the rule's active lines are not the three expected ones: $active"
finish
