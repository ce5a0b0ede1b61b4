#!/bin/bash
# Validates the launcher, the AppStream metadata and the polkit action, and checks
# that they agree with each other and with the udev rule.
# Usage: check_metadata.sh SOURCE_DIR
set -u
. "$(dirname "$0")/common.sh"

linux=$1/packaging/linux
desktop=$linux/$APP_ID.desktop
metainfo=$linux/$APP_ID.metainfo.xml

need_tool desktop-file-validate desktop-file-utils
need_tool appstreamcli appstream
need_tool xmllint libxml2-utils

out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
# desktop-file-validate exits 0 on hints and warnings; treat them as failures too.
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) || fail "appstreamcli validate: $out"

policy=$linux/$APP_ID.policy
out=$(xmllint --noout "$policy" 2>&1) || fail "xmllint: $out"
grep -q '<message>Allow the KX5170 configuration utility to install its device access rule</message>' "$policy" ||
    fail "the polkit action's message is not the one the password prompt must show"

field() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(field Name)" = "KX5170 configuration utility" ] || fail "launcher Name is '$(field Name)'"
[ "$(field Exec)" = "kx5170-config" ] || fail "launcher Exec is '$(field Exec)'"
[ "$(field Icon)" = "$APP_ID" ] || fail "launcher Icon is '$(field Icon)'"
[ "$(field Terminal)" = "false" ] || fail "launcher Terminal is '$(field Terminal)'"
[[ "$(field Categories)" == *HardwareSettings* ]] || fail "launcher is not in HardwareSettings"

tag() { sed -n "s:.*<$1[^>]*>\(.*\)</$1>.*:\1:p" "$metainfo"; }
[ "$(tag id)" = "$APP_ID" ] || fail "metainfo id is '$(tag id)'"
[ "$(tag launchable)" = "$APP_ID.desktop" ] || fail "metainfo launches '$(tag launchable)'"
[ "$(tag name)" = "$(field Name)" ] || fail "metainfo name '$(tag name)' differs from the launcher's"
grep -q "<release version=\"1.01\" date=\"2026-12-06\"" "$metainfo" || fail "metainfo lacks the 1.01 release"

# Software centres offer the program when a board is plugged in: the modaliases
# must name the same products as the udev rule.
rule_products=$(grep -o 'idProduct}=="[^"]*"' "$linux/70-kx5170.rules" | sed 's/.*=="\(.*\)"/\1/' |
    tr '|' '\n' | tr a-f A-F | sort | tr '\n' ' ')
alias_products=$(tag modalias | sed -n 's/^usb:v6C1Bp\([0-9A-F]\{4\}\)d\*$/\1/p' | sort | tr '\n' ' ')
[ "$(tag modalias | wc -l)" -eq 3 ] || fail "expected three modaliases, got: $(tag modalias | tr '\n' ' ')"
[ "$alias_products" = "$rule_products" ] ||
    fail "modaliases name products '$alias_products', the udev rule '$rule_products'"

finish
