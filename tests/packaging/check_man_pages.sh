#!/bin/bash
# Lints the manual pages and checks that each documents every option its program
# answers to.
# Usage: check_man_pages.sh SOURCE_DIR PROGRAM...
set -u
. "$(dirname "$0")/common.sh"

src=$1
shift
need_tool mandoc mandoc

for program in "$@"; do
    name=$(basename "$program")
    page=$src/packaging/man/$name.1
    if [ ! -f "$page" ]; then
        fail "no manual page for $name"
        continue
    fi
    # From the pages' folder, so that the pages' references to each other resolve.
    if ! out=$(cd "$src/packaging/man" && mandoc -T lint -W style "$name.1" 2>&1) || [ -n "$out" ]; then
        fail "mandoc -T lint $name.1: $out"
    fi

    rendered=$(mandoc -T ascii "$page" | col -b)
    help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$program" --help) ||
        fail "$name --help failed"
    for option in $(grep -o -- ' --[a-z-]*' <<< "$help"); do
        grep -q -- "$option" <<< "$rendered" || fail "$name.1 does not document $option"
    done
done

finish
