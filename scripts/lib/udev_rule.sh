# The board's udev rule on this machine, for scripts/run: whether udev runs here,
# whether a rule for the board is installed, and installing the packaged one.
# shellcheck shell=bash

# Where udev reads rules from: the administrator's, the runtime's, the packages'.
KX_RULE_DIRS=(/etc/udev/rules.d /run/udev/rules.d /usr/lib/udev/rules.d /lib/udev/rules.d)

# True when udev runs here: its control socket is there and udevadm is installed.
# In a container neither usually is, and a rule would do nothing.
kx_udev_running() {
    [ -S /run/udev/control ] && command -v udevadm >/dev/null 2>&1
}

# kx_board_rule_installed DIR...: true when one of the folders holds a rule for the
# board: an active line of a *.rules file that matches its vendor (6c1b) by USB
# attribute, udev property or HID bus ID. A file under our rule's name counts
# whatever it holds: it is ours already, or the administrator masked the rule
# (a link to /dev/null), which is not ours to undo. kx::FindBoardRule
# (device/link/access_help.h) answers the same question for the window and
# kx5170ctl: change both together.
kx_board_rule_installed() {
    local dir
    for dir in "$@"; do
        if [ -e "$dir/70-kx5170.rules" ] || [ -L "$dir/70-kx5170.rules" ]; then
            return 0
        fi
        [ -d "$dir" ] || continue
        grep -Eiqs -e '^[[:space:]]*([^#[:space:]].*)?(idVendor|ID_VENDOR_ID)\}[[:space:]]*==[[:space:]]*"6c1b"' \
            -e '^[[:space:]]*([^#[:space:]].*)?KERNELS?[[:space:]]*==[[:space:]]*"[^"]*:(0000)?6c1b:' \
            "$dir"/*.rules && return 0
    done
    return 1
}

# kx_board_nodes [SYSFS]: the sysfs folders of the board's hidraw nodes, one a line,
# found by the HID_ID in their uevent (vendor 6c1b, products 5e11 to 5e13).
kx_board_nodes() {
    local uevent
    for uevent in "${1:-/sys}"/class/hidraw/*/device/uevent; do
        grep -Eiqs '^HID_ID=[0-9a-f]+:0*6c1b:0*5e1[123]$' "$uevent" && echo "${uevent%/device/uevent}"
    done
    return 0
}

# kx_install_board_rule RULE: installs RULE into /etc/udev/rules.d as root, reloads
# udev and applies it to the board's hidraw nodes already there (no other device
# hears of it), and says so in one line.
kx_install_board_rule() {
    local rule=$1 sudo=() nodes=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo -p "[sudo] password for %u, to install the board's udev rule: ")
    mapfile -t nodes < <(kx_board_nodes)
    if "${sudo[@]}" install -D -m 0644 "$rule" /etc/udev/rules.d/70-kx5170.rules &&
        "${sudo[@]}" udevadm control --reload &&
        { [ ${#nodes[@]} -eq 0 ] || "${sudo[@]}" udevadm trigger --action=change "${nodes[@]}"; }; then
        echo "Installed the board's udev rule in /etc/udev/rules.d and applied it: the board can be opened without root."
    else
        echo "Could not install the board's udev rule; the window's \"Fix...\" link offers it again." >&2
    fi
}
