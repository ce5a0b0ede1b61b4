#!/usr/bin/env bash
# scripts/run's question "is a rule for the board installed?", on rule folders made
# here: one case a line, the folders searched are always the same three; and which
# hidraw nodes it tells of the rule it installs.
#   check_rule_check.sh SOURCE_DIR
set -uo pipefail
src=$1
. "$src/scripts/lib/udev_rule.sh"
. "$(dirname "$0")/../packaging/common.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# expected | folder | file | content ("@rule" is the packaged rule, "@null" a link to /dev/null)
cases=(
    'no|||'
    'yes|usr/lib|70-kx5170.rules|@rule'
    'yes|etc|99-wheels.rules|ACTION=="add", ATTRS{idVendor}=="6C1B", MODE="0660", GROUP="input"'
    'yes|run|50-local.rules|SUBSYSTEM=="hidraw", ENV{ID_VENDOR_ID} == "6c1b", TAG+="uaccess"'
    'yes|etc|60-hid.rules|KERNELS=="0003:6C1B:*", TAG+="uaccess"'
    'yes|etc|70-kx5170.rules|@null'
    'no|etc|99-wheels.rules|# ATTRS{idVendor}=="6c1b", TAG+="uaccess"'
    'no|etc|99-wheels.rules.disabled|@rule'
    'no|etc|99-other.rules|ATTRS{idVendor}=="16c1b", TAG+="uaccess"'
    'no|etc|99-other.rules|ATTRS{idVendor}=="046d", ATTRS{idProduct}=="6c1b", TAG+="uaccess"'
)
for row in "${cases[@]}"; do
    IFS='|' read -r expected folder file content <<<"$row"
    root=$scratch/case
    rm -rf "$root"
    mkdir -p "$root/etc" "$root/run" "$root/usr/lib"
    if [ -n "$file" ]; then
        case $content in
            @rule) cp "$src/packaging/linux/70-kx5170.rules" "$root/$folder/$file" ;;
            @null) ln -s /dev/null "$root/$folder/$file" ;;
            *) printf '%s\n%s\n' '# local rules' "$content" >"$root/$folder/$file" ;;
        esac
    fi
    if kx_board_rule_installed "$root/etc" "$root/usr/lib" "$root/run"; then got=yes; else got=no; fi
    [ "$got" = "$expected" ] || fail "${folder:-empty}/$file '$content': $got, expected $expected"
done
# Folders that do not exist are no error.
kx_board_rule_installed "$scratch/none" "$scratch/none2" && fail "missing folders hold a rule"

# The nodes told of a new rule: the board's, not a mouse's nor another product's of
# its vendor.
ids=("HID_ID=0003:0000046D:0000C31C" "HID_ID=0003:00006C1B:00005E12" "HID_ID=0003:00006C1B:00005E14")
for n in 0 1 2; do
    mkdir -p "$scratch/sys/class/hidraw/hidraw$n/device"
    printf 'DRIVER=hid-generic\n%s\n' "${ids[$n]}" >"$scratch/sys/class/hidraw/hidraw$n/device/uevent"
done
got=$(kx_board_nodes "$scratch/sys")
[ "$got" = "$scratch/sys/class/hidraw/hidraw1" ] || fail "board nodes: $got"
[ -z "$(kx_board_nodes "$scratch/none")" ] || fail "board nodes without sysfs"
finish
