#!/bin/bash
# Every manual page passes mandoc's lint, and the bash completion is valid bash.
# Usage: check_man_pages.sh SOURCE_DIR
set -u
. "$(dirname "$0")/common.sh"

src=$1
need_tool mandoc mandoc

pages=("$src"/packaging/man/*.1)
[ -f "${pages[0]}" ] || fail "no manual pages in packaging/man"
for page in "${pages[@]}"; do
    [ -f "$page" ] || continue
    mandoc -T lint -W warning "$page" >&2 || fail "$(basename "$page"): mandoc -T lint"
done
for completion in "$src"/packaging/bash-completion/*; do
    bash -n "$completion" || fail "$(basename "$completion"): not valid bash"
done
finish
