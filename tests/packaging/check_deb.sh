#!/bin/bash
# Builds the Debian package once into a scratch directory, runs lintian on it (any
# error or warning fails, information tags do not), and checks its control fields,
# its maintainer script and the files it unpacks.
# Usage: check_deb.sh CPACK BUILD_DIR SOURCE_DIR SCRATCH_DIR
set -u
. "$(dirname "$0")/common.sh"

cpack=$1 build=$2 src=$3 scratch=$4
need_tool dpkg-deb dpkg
need_tool dpkg-shlibdeps dpkg-dev
need_tool lintian lintian

rm -rf "$scratch" && mkdir -p "$scratch"
run_logged "$scratch/cpack.log" cpack sh -c 'cd "$1" && "$2" -G DEB -B "$1/out" --config "$3/CPackConfig.cmake"' \
    sh "$scratch" "$cpack" "$build"
debs=("$scratch"/out/*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "kx5170-config_1.01_$arch.deb" ] || fail "package file is named $(basename "$deb")"

# lintian says so when it runs as root; that is no finding about the package.
findings=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -E '^[EW]: ')
[ -z "$findings" ] || fail "lintian reports errors or warnings: $findings"

f() { dpkg-deb -f "$deb" "$1"; }
[ "$(f Section)" = utils ] || fail "Section is '$(f Section)'"
for lib in libhidapi-hidraw0 libqt6widgets6 fonts-liberation; do
    [[ ",$(f Depends)," =~ [,\ ]$lib[\ ,] ]] || fail "Depends does not name $lib: $(f Depends)"
done
[[ ",$(f Recommends)," =~ [,\ ]qt6-translations-l10n[\ ,] ]] ||
    fail "Recommends does not name qt6-translations-l10n: $(f Recommends)"

owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"' | head -3)
[ -z "$owners" ] || fail "files not owned by root: $owners"

dpkg-deb -e "$deb" "$scratch/control"
postinst=$scratch/control/postinst
[ -f "$postinst" ] || fail "no postinst to apply the udev rule to a plugged-in board"
[ ! -f "$postinst" ] || { [ -x "$postinst" ] && sh -n "$postinst"; } || fail "postinst is not executable valid shell"

dpkg -x "$deb" "$scratch/root"
check_installed_tree "$scratch/root" "$src"
finish
