#!/bin/bash
# --help and --version answer on the terminal without a display and exit 0; a
# wrong option or a second file is told and exits 1, before any window opens.
# Usage: check_command_line.sh PROGRAM...
set -u
. "$(dirname "$0")/packaging/common.sh"

for program in "$@"; do
    name=$(basename "$program")
    # No display at all: a window could not open, so only the terminal can answer.
    headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$program" "$@" 2>&1; }
    offscreen() { QT_QPA_PLATFORM=offscreen timeout 20 "$program" "$@" 2>&1; }

    out=$(headless --help) || fail "$name --help exited $?: $out"
    [[ "$out" == *"Usage: "*"$name [options] [file]"*"KX5170 controller configuration utility"*"--version"* ]] ||
        fail "$name --help gives no usage, description and options: $out"
    for option in --version -v; do
        out=$(headless "$option") || fail "$name $option exited $?: $out"
        [ "$out" = "KX5170 configuration utility 1.01" ] || fail "$name $option printed '$out'"
    done
    # Wrong use is told once the window system has taken its own options.
    out=$(offscreen --no-such-option); status=$?
    [[ $status -eq 1 && "$out" == *"no-such-option"* ]] || fail "$name --no-such-option exited $status: $out"
    offscreen a.kx5170 b.kx5170 >/dev/null; status=$?
    [ $status -eq 1 ] || fail "$name with two files exited $status"
done

finish
