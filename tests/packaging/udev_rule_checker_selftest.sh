#!/bin/bash
# The rule check is only worth something if it rejects broken rules: feed it
# the shipped rule with one fault each and expect every one to be refused.
# Usage: udev_rule_checker_selftest.sh RULE_FILE SCRATCH_DIR
set -u
here=$(dirname "$0")
. "$here/common.sh"

rule=$1 scratch=$2
rm -rf "$scratch" && mkdir -p "$scratch"

expect() {  # expect pass|reject NAME FILE-NAME SED-EXPRESSION
    local want=$1 what=$2 file="$scratch/$3"
    sed -e "$4" "$rule" > "$file"
    if "$here/check_udev_rule.sh" "$file" >/dev/null 2>&1; then
        [ "$want" = pass ] || fail "not rejected: $what"
    else
        [ "$want" = reject ] || fail "wrongly rejected: $what"
    fi
}

expect pass   "the rule as shipped"            70-a.rules ''
expect pass   "one line matching all three products" 70-b.rules \
    '/5e1[23]"/d; s/"5e11"/"5e11|5e12|5e13"/'
expect reject "world-writable node"            70-c.rules 's/TAG+="uaccess"/&, MODE="0666"/'
expect reject "no uaccess tag"                 70-e.rules 's/, TAG+="uaccess"//'
expect reject "another vendor"                 70-g.rules '0,/6c1b/s/6c1b/6c1c/'
expect reject "a product left out"             70-h.rules '/"5e13"/d'
expect reject "an extra product"               70-i.rules 's/"5e13"/"5e14"/'
expect reject "matches the usb device, not hidraw" 70-k.rules 's/KERNEL=="hidraw\*"/SUBSYSTEM=="usb"/'
expect reject "sorts after 73-seat-late.rules" 75-kx5170.rules ''
expect reject "mode split over two lines"      70-l.rules 's/TAG+="uaccess"/&, \\\n  MODE="0666"/'

finish
