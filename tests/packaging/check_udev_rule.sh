#!/bin/bash
# Checks a udev rule file for the KX5170 board: exactly the board's three
# products, access for the logged-in user only, and a name that sorts before
# systemd's 73-seat-late.rules (which turns the uaccess tag into an ACL).
# Usage: check_udev_rule.sh RULE_FILE
set -u
. "$(dirname "$0")/common.sh"

rule=$1
[ -f "$rule" ] || { echo "FAIL: $rule not found" >&2; exit 1; }

name=$(basename "$rule")
if [[ ! "$name" =~ ^([0-9]+)-.*\.rules$ ]]; then
    fail "$name: rule files need a numeric prefix and a .rules suffix"
elif [ "$((10#${BASH_REMATCH[1]}))" -ge 73 ]; then
    fail "$name sorts after 73-seat-late.rules, so uaccess would never apply"
fi

products=()
count=0
# Join continued lines, drop comments and blank lines.
while IFS= read -r line; do
    count=$((count + 1))
    where="rule $count"
    for key in MODE GROUP OWNER; do
        [[ "$line" =~ (^|[ ,])$key(\{[^}]*\})?[:+]?= ]] && fail "$where sets $key"
    done
    [[ "$line" == *'KERNEL=="hidraw*"'* ]] || fail "$where does not match KERNEL==\"hidraw*\""
    [[ "$line" == *'TAG+="uaccess"'* ]] || fail "$where does not add TAG+=\"uaccess\""

    vendor=$(grep -o 'ATTRS{idVendor}=="[^"]*"' <<< "$line" | sed 's/.*=="\(.*\)"/\1/')
    [ "$vendor" = "6c1b" ] || fail "$where matches vendor '${vendor:-<none>}', expected 6c1b"

    product=$(grep -o 'ATTRS{idProduct}=="[^"]*"' <<< "$line" | sed 's/.*=="\(.*\)"/\1/')
    if [ -z "$product" ]; then
        fail "$where matches no product"
        continue
    fi
    IFS='|' read -r -a alternatives <<< "$product"
    products+=("${alternatives[@]}")
done < <(sed -e ':a' -e '/\\$/N; s/\\\n//; ta' "$rule" | sed -e 's/^[[:space:]]*//' | grep -v -e '^#' -e '^$')

got=$(printf '%s\n' "${products[@]}" | sort | tr '\n' ' ')
[ "$got" = "5e11 5e12 5e13 " ] || fail "products matched: ${got:-none}; expected exactly 5e11 5e12 5e13"

finish
