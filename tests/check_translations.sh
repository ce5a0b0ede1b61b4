#!/bin/bash
# Each translation file is complete and up to date: lupdate, run as the build's
# update_translations runs it, changes nothing, and no text is left unfinished.
# Usage: check_translations.sh LUPDATE TS_FILES(;-separated) INCLUDE_DIRS(;-separated) SOURCE...
set -u
lupdate=$1
IFS=';' read -r -a ts_files <<<"$2"
IFS=';' read -r -a include_dirs <<<"$3"
shift 3
includes=()
for dir in "${include_dirs[@]}"; do includes+=("-I$dir"); done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for ts in "${ts_files[@]}"; do
    copy=$scratch/$(basename "$ts")
    cp "$ts" "$copy"
    if ! out=$("$lupdate" -silent -no-obsolete -locations none "${includes[@]}" "$@" -ts "$copy" 2>&1); then
        echo "FAIL: lupdate: $out"
        status=1
        continue
    fi
    if ! cmp -s "$ts" "$copy"; then
        echo "FAIL: $(basename "$ts") is out of date; run: cmake --build build --target update_translations"
        diff -u "$ts" "$copy" | head -40
        status=1
    fi
    if grep -q 'type="unfinished"' "$ts"; then
        echo "FAIL: $(basename "$ts") has untranslated texts:"
        grep -B3 'type="unfinished"' "$ts" | grep '<source>' | head -20
        status=1
    fi
done
[ $status -eq 0 ] && echo ok
exit $status
