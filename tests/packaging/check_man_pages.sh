#!/bin/bash
# Every manual page passes mandoc's lint, each program given documents every option
# its --help lists, and the bash completion is valid bash.
# Usage: check_man_pages.sh SOURCE_DIR [PROGRAM...]
set -u
. "$(dirname "$0")/common.sh"

src=$1
shift
need_tool mandoc mandoc

pages=("$src"/packaging/man/*.1)
[ -f "${pages[0]}" ] || fail "no manual pages in packaging/man"
for page in "${pages[@]}"; do
    # From the pages' folder, so that the pages' references to each other resolve.
    (cd "$src/packaging/man" && mandoc -T lint -W warning "$(basename "$page")" >&2) ||
        fail "$(basename "$page"): mandoc -T lint"
done

for program in "$@"; do
    name=$(basename "$program")
    page=$src/packaging/man/$name.1
    if [ ! -f "$page" ]; then
        fail "no manual page for $name"
        continue
    fi
    rendered=$(mandoc -T ascii "$page" | col -b)
    help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$program" --help) ||
        fail "$name --help failed"
    for option in $(grep -o -- ' --[a-z-]*' <<< "$help"); do
        grep -q -- "$option" <<< "$rendered" || fail "$name.1 does not document $option"
    done
done

for completion in "$src"/packaging/bash-completion/*; do
    bash -n "$completion" || fail "$(basename "$completion"): not valid bash"
done
finish
