# Shared by scripts/run and scripts/test: installing what is missing, and building.
# shellcheck shell=bash

KX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# What the program needs to build and run.
# qt6-tools-dev holds CMake's LinguistTools package; qt6-l10n-tools lupdate and lrelease;
# qt6-translations-l10n Qt's own texts in the user's language.
KX_BUILD_PACKAGES=(build-essential cmake pkg-config qt6-base-dev libhidapi-dev fonts-liberation
                   qt6-tools-dev qt6-l10n-tools qt6-translations-l10n)
# What the tests need besides: validators, packaging, the VM for the end-to-end tests,
# clang for the fuzzers.
KX_TEST_PACKAGES=(desktop-file-utils appstream shared-mime-info libxml2-utils dpkg-dev file lintian mandoc
                  qemu-system-x86 busybox-static xz-utils
                  clang libclang-rt-14-dev librapidcheck-dev)

kx_install_missing() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# kx_build DIR [cmake options...]
kx_build() {
    local dir=$1
    shift
    cmake -S "$KX_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j2
}

# kx_build_programs DIR TARGET...: builds only the targets named, with cmake's own
# progress on the terminal; the first time, configures DIR and says how long it takes.
kx_build_programs() {
    local dir=$1 target targets=()
    shift
    for target in "$@"; do targets+=(--target "$target"); done
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        echo "First build: this takes a few minutes (later runs rebuild only what changed)."
        cmake -S "$KX_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build "$dir" -j2 "${targets[@]}"
}
