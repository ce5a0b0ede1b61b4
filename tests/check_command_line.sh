#!/bin/bash
# --help and --version answer on the terminal without a display and exit 0; a
# wrong option or a second file is told on standard error and exits 1, before any
# window opens and also where none could; the window system's own options pass.
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
    # Wrong use is told without a display, as with one, on standard error alone.
    for run in headless offscreen; do
        out=$($run --no-such-option); status=$?
        [[ $status -eq 1 && "$out" == *"no-such-option"*"--help"* ]] ||
            fail "$name --no-such-option ($run) exited $status: $out"
        out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$program" --no-such-option 2>/dev/null)
        [ -z "$out" ] || fail "$name --no-such-option printed on standard output: $out"
        $run a.kx5170 b.kx5170 >/dev/null; status=$?
        [ $status -eq 1 ] || fail "$name with two files ($run) exited $status"
    done
    # The window system's options, with one dash or two, are not this program's to refuse.
    out=$(headless -platform offscreen --reverse -style=Fusion -qwindowtitle "a b" --version) ||
        fail "$name refused the window system's options: $out"
    [ "$out" = "KX5170 configuration utility 1.01" ] || fail "$name with the window system's options printed '$out'"
done

finish
