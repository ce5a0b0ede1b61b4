#!/bin/bash
# --help and --version answer on the terminal without a display and exit 0; a
# wrong option or a second file is told and exits 1, before any window opens.
# Usage: check_command_line.sh PROGRAM...
set -u
errors=0
fail() {
    echo "FAIL: $*" >&2
    errors=$((errors + 1))
}

for program in "$@"; do
    name=$(basename "$program")
    # No display at all: a window could not open, so only the terminal can answer.
    headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$program" "$@"; }

    out=$(headless --help 2>&1) || fail "$name --help exited $?: $out"
    [[ "$out" == *"Usage: "*"$name [options] [file]"* ]] || fail "$name --help gives no usage: $out"
    [[ "$out" == *"KX5170 controller configuration utility"* ]] || fail "$name --help lacks the description"
    [[ "$out" == *"--version"* ]] || fail "$name --help does not list --version"

    for option in --version -v; do
        out=$(headless "$option" 2>&1) || fail "$name $option exited $?: $out"
        [ "$out" = "KX5170 configuration utility 1.01" ] || fail "$name $option printed '$out'"
    done

    # Wrong use is told once the window system has taken its own options.
    out=$(QT_QPA_PLATFORM=offscreen timeout 20 "$program" --no-such-option 2>&1)
    [ $? -eq 1 ] || fail "$name --no-such-option did not exit 1"
    [[ "$out" == *"no-such-option"* ]] || fail "$name --no-such-option said: $out"
    out=$(QT_QPA_PLATFORM=offscreen timeout 20 "$program" a.kx5170 b.kx5170 2>&1)
    [ $? -eq 1 ] || fail "$name with two files did not exit 1"
done

if [ "$errors" -ne 0 ]; then
    echo "$errors problem(s) found" >&2
    exit 1
fi
echo ok
