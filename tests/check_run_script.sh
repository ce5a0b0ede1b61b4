#!/bin/bash
# scripts/run answers --help with its usage and status 0, and refuses a wrong option
# with status 2, both before it installs or builds anything.
#   check_run_script.sh SOURCE_DIR
set -u
. "$(dirname "$0")/packaging/common.sh"
run=$1/scripts/run

out=$(bash "$run" --help 2>&1); status=$?
[[ $status -eq 0 && "$out" == "usage: "*"kx5170ctl"*"--demo"*"--no-udev-rule"*"first build takes a few minutes"* ]] ||
    fail "--help exited $status: $out"
out=$(bash "$run" --bogus 2>/dev/null); status=$?
[[ $status -eq 2 && -z "$out" ]] || fail "--bogus exited $status, printed: $out"
finish
