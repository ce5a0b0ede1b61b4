#!/bin/sh
# Runs every end-to-end suite in one boot of the machine: the window's and kx5170ctl's
# on boards made through uhid, the same two again on boards plugged in as USB devices,
# and the USB board's own. Each suite runs whatever the others did; the status is 1
# when any failed, and each suite's time is said.
#   run_suites.sh TEST_E2E TEST_E2E_CTL TEST_E2E_USB
status=0
run() {
    name=$1
    shift
    start=$(date +%s)
    if "$@"; then result=passed; else result=FAILED; status=1; fi
    echo "end-to-end suite $name: $result in $(($(date +%s) - start)) s"
}
run "window on uhid" "$1"
run "kx5170ctl on uhid" "$2"
run "window on USB" env KX_E2E_BOARD=usb "$1"
run "kx5170ctl on USB" env KX_E2E_BOARD=usb "$2"
run "USB board" "$3"
exit $status
