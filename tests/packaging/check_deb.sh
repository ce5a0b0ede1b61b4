#!/bin/bash
# Builds the Debian package into a scratch directory and checks its control
# fields, its maintainer script and the files it unpacks.
# Usage: check_deb.sh CPACK BUILD_DIR SOURCE_DIR SCRATCH_DIR
set -u
. "$(dirname "$0")/common.sh"

cpack=$1 build=$2 src=$3 scratch=$4
need_tool dpkg-deb dpkg
need_tool dpkg-shlibdeps dpkg-dev

rm -rf "$scratch" && mkdir -p "$scratch"
if ! (cd "$scratch" && "$cpack" -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake") \
        > "$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack failed" >&2
    exit 1
fi

debs=("$scratch"/out/*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: expected one .deb, found: ${debs[*]}" >&2
    exit 1
fi
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "kx5170-config_1.01_$arch.deb" ] || fail "package file is named $(basename "$deb")"

f() { dpkg-deb -f "$deb" "$1"; }
[ "$(f Package)" = kx5170-config ] || fail "Package is '$(f Package)'"
[ "$(f Version)" = 1.01 ] || fail "Version is '$(f Version)'"
[ "$(f Architecture)" = "$arch" ] || fail "Architecture is '$(f Architecture)'"
[ "$(f Section)" = utils ] || fail "Section is '$(f Section)'"
[ -n "$(f Maintainer)" ] || fail "no Maintainer"
[ -n "$(f Description)" ] || fail "no Description"
depends=$(f Depends)
for lib in libhidapi-hidraw0 libqt6widgets6 fonts-liberation; do
    [[ ",$depends," =~ [,\ ]$lib[\ ,] ]] || fail "Depends does not name $lib: $depends"
done

# Every file in the archive belongs to root.
owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"' | head -3)
[ -z "$owners" ] || fail "files not owned by root: $owners"

dpkg-deb -e "$deb" "$scratch/control"
if [ -f "$scratch/control/postinst" ]; then
    [ -x "$scratch/control/postinst" ] || fail "postinst is not executable"
    sh -n "$scratch/control/postinst" || fail "postinst is not valid shell"
else
    fail "no postinst to apply the udev rule to a plugged-in board"
fi

dpkg -x "$deb" "$scratch/root"
check_installed_tree "$scratch/root" "$src"

finish
