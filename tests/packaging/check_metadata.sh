#!/bin/bash
# Validates the launcher, the AppStream metadata, the polkit action and the settings
# files' MIME type, and checks that they agree with each other, with the names the
# program gives itself and with the udev rule.
# Usage: check_metadata.sh SOURCE_DIR
set -u
. "$(dirname "$0")/common.sh"

linux=$1/packaging/linux
desktop=$linux/$APP_ID.desktop
metainfo=$linux/$APP_ID.metainfo.xml
mime=$linux/$APP_ID.mime.xml
app_info=$1/window/app_info.h

need_tool desktop-file-validate desktop-file-utils
need_tool appstreamcli appstream
need_tool update-mime-database shared-mime-info
need_tool xmllint libxml2-utils

out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
# desktop-file-validate exits 0 on hints and warnings; treat them as failures too.
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) || fail "appstreamcli validate: $out"

policy=$linux/$APP_ID.policy
out=$(xmllint --noout "$policy" 2>&1) || fail "xmllint: $out"

field() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(field Exec)" = "kx5170-config %f" ] || fail "launcher Exec is '$(field Exec)'"

# The names as the program gives them in About and on the command line.
# "text", or QT_TRANSLATE_NOOP("Context", "text") where the program translates it.
constant() {
    sed -n -e "s/.*char $1\[\] = QT_TRANSLATE_NOOP(\"[^\"]*\", \"\(.*\)\");/\1/p" \
        -e "s/.*char $1\[\] = \"\(.*\)\";/\1/p" "$app_info"
}
[ "$(field Name)" = "$(constant ApplicationDisplayName)" ] ||
    fail "launcher Name '$(field Name)' is not the program's '$(constant ApplicationDisplayName)'"
[ "$(field Comment)" = "$(constant ApplicationDescription)" ] ||
    fail "launcher Comment '$(field Comment)' is not the program's '$(constant ApplicationDescription)'"

# tag NAME [LANGUAGE]: the text of each <NAME>, the English ones or those in LANGUAGE.
tag() {
    if [ $# -gt 1 ]; then
        sed -n "s:.*<$1 xml\:lang=\"$2\">\(.*\)</$1>.*:\1:p" "$metainfo"
    else
        grep -v 'xml:lang=' "$metainfo" | sed -n "s:.*<$1[^>]*>\(.*\)</$1>.*:\1:p"
    fi
}
[ "$(tag id)" = "$APP_ID" ] || fail "metainfo id is '$(tag id)'"
[ "$(tag launchable)" = "$APP_ID.desktop" ] || fail "metainfo launches '$(tag launchable)'"
[ "$(tag name)" = "$(field Name)" ] || fail "metainfo name '$(tag name)' differs from the launcher's"
[ "$(tag summary)" = "$(field Comment)" ] || fail "metainfo summary '$(tag summary)' differs from the launcher's"
# German as well, and in both files the same words.
for key in Name GenericName Comment Keywords; do
    [ -n "$(field "$key\[de\]")" ] || fail "launcher has no German $key"
done
[ "$(tag name de)" = "$(field 'Name\[de\]')" ] ||
    fail "metainfo German name '$(tag name de)' differs from the launcher's '$(field 'Name\[de\]')'"
[ "$(tag summary de)" = "$(field 'Comment\[de\]')" ] ||
    fail "metainfo German summary '$(tag summary de)' differs from the launcher's '$(field 'Comment\[de\]')'"
description=$(sed -n '0,/<\/description>/p' "$metainfo")
for element in p li; do
    [ "$(grep -c "<$element>" <<<"$description")" -eq "$(grep -c "<$element xml:lang=\"de\">" <<<"$description")" ] ||
        fail "metainfo's description is not in German $element for $element"
done

# A settings file opens in the program: the launcher, the metainfo and the MIME
# database built from our entry all name the same type for *.kx5170.
type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mime")
[ "$(field MimeType)" = "$type;" ] || fail "launcher MimeType '$(field MimeType)', MIME entry '$type'"
[ "$(tag mediatype)" = "$type" ] || fail "metainfo mediatype '$(tag mediatype)', MIME entry '$type'"
mime_db=$(mktemp -d)
trap 'rm -rf "$mime_db"' EXIT
mkdir -p "$mime_db/packages" && cp "$mime" "$mime_db/packages/$APP_ID.xml"
out=$(update-mime-database "$mime_db" 2>&1) || fail "update-mime-database: $out"
grep -qx "[0-9]*:$type:\*\.kx5170" "$mime_db/globs2" 2>/dev/null ||
    fail "the MIME database does not give *.kx5170 the type $type"

# Software centres offer the program when a board is plugged in: the modaliases
# must name the same products as the udev rule.
rule_products=$(grep -o 'idProduct}=="[^"]*"' "$linux/70-kx5170.rules" | sed 's/.*=="\(.*\)"/\1/' |
    tr '|' '\n' | tr a-f A-F | sort | tr '\n' ' ')
alias_products=$(tag modalias | sed -n 's/^usb:v6C1Bp\([0-9A-F]\{4\}\)d\*$/\1/p' | sort | tr '\n' ' ')
[ "$(tag modalias | wc -l)" -eq 3 ] || fail "expected three modaliases, got: $(tag modalias | tr '\n' ' ')"
[ "$alias_products" = "$rule_products" ] ||
    fail "modaliases name products '$alias_products', the udev rule '$rule_products'"

finish
