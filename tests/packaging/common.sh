# Shared helpers for the packaging checks. Sourced, not run.

APP_ID=io.github.kx5170.config
errors=0

fail() {
    echo "FAIL: $*" >&2
    errors=$((errors + 1))
}

need_tool() {
    command -v "$1" >/dev/null 2>&1 || {
        echo "FAIL: '$1' is not installed (package $2)" >&2
        exit 1
    }
}

# run_logged LOG WHAT COMMAND...: runs COMMAND into LOG; on failure shows LOG and stops.
run_logged() {
    local log=$1 what=$2
    shift 2
    "$@" > "$log" 2>&1 && return
    cat "$log" >&2
    echo "FAIL: $what failed" >&2
    exit 1
}

finish() {
    if [ "$errors" -ne 0 ]; then
        echo "$errors problem(s) found" >&2
        exit 1
    fi
    echo "ok"
}

# Checks an installed tree (DESTDIR or unpacked package) rooted at $1 against
# what the desktop and udev look for. $2 is the source tree, to compare the
# data files with what was installed.
check_installed_tree() {
    local root=$1 src=$2 f

    local helper=usr/libexec/kx5170-config/kx5170-udev-helper
    for f in usr/bin/kx5170-config usr/bin/kx5170-config-demo usr/bin/kx5170ctl $helper; do
        if [ ! -f "$root/$f" ]; then
            fail "$f missing"
        elif [ ! -x "$root/$f" ]; then
            fail "$f is not executable"
        elif [ "$(head -c4 "$root/$f" | od -An -c | tr -d ' ')" != '177ELF' ]; then
            fail "$f is not an ELF program"
        fi
    done
    # Root runs it only through pkexec, after asking: never set-user-ID.
    [ -f "$root/$helper" ] && [ "$(stat -c %a "$root/$helper")" != 755 ] &&
        fail "$helper has mode $(stat -c %a "$root/$helper")"
    # The polkit action must name the installer where the package puts it, or the
    # password prompt would not say what is asked.
    local policy="$root/usr/share/polkit-1/actions/$APP_ID.policy" named
    if [ -f "$policy" ]; then
        named=$(sed -n 's:.*<annotate key="org.freedesktop.policykit.exec.path">\(.*\)</annotate>.*:\1:p' "$policy")
        [ "$named" = "/$helper" ] || fail "the polkit action names '$named', the installer is /$helper"
    fi

    local pairs="
usr/lib/udev/rules.d/70-kx5170.rules packaging/linux/70-kx5170.rules
usr/share/applications/$APP_ID.desktop packaging/linux/$APP_ID.desktop
usr/share/doc/kx5170-config/README.md README.md
usr/share/polkit-1/actions/$APP_ID.policy packaging/linux/$APP_ID.policy
usr/share/metainfo/$APP_ID.metainfo.xml packaging/linux/$APP_ID.metainfo.xml
usr/share/mime/packages/$APP_ID.xml packaging/linux/$APP_ID.mime.xml
usr/share/icons/hicolor/16x16/apps/$APP_ID.png packaging/icons/hicolor/16x16/apps/$APP_ID.png
usr/share/icons/hicolor/32x32/apps/$APP_ID.png packaging/icons/hicolor/32x32/apps/$APP_ID.png
usr/share/icons/hicolor/scalable/apps/$APP_ID.svg packaging/icons/hicolor/scalable/apps/$APP_ID.svg
usr/share/bash-completion/completions/kx5170ctl packaging/bash-completion/kx5170ctl
usr/share/doc/kx5170-config/copyright packaging/linux/debian/copyright"
    local dest from
    while read -r dest from; do
        [ -n "$dest" ] || continue
        if [ ! -f "$root/$dest" ]; then
            fail "$dest missing"
            continue
        fi
        cmp -s "$root/$dest" "$src/$from" || fail "$dest differs from $from"
        [ -x "$root/$dest" ] && fail "$dest should not be executable"
    done <<< "$pairs"

    # Every manual page, gzipped as Debian keeps them.
    for f in "$src"/packaging/man/*.1; do
        local gz="$root/usr/share/man/man1/$(basename "$f").gz"
        if [ ! -f "$gz" ]; then
            fail "usr/share/man/man1/$(basename "$f").gz missing"
        else
            gzip -dc "$gz" | cmp -s - "$f" || fail "usr/share/man/man1/$(basename "$f").gz differs from its page"
        fi
    done

    # Everything lands under usr/: nothing in /etc, nothing under /usr/local,
    # no build-machine path leaking into an install destination.
    local stray
    stray=$(cd "$root" && find . -mindepth 1 \( -type f -o -type l \) \
        ! -path './usr/bin/*' ! -path './usr/lib/udev/rules.d/*' ! -path './usr/share/*' \
        ! -path './usr/libexec/kx5170-config/*' | head -5)
    [ -z "$stray" ] || fail "unexpected files installed: $stray"
}
