#!/bin/sh
# Checks the files that make Vesk a desktop application: the desktop entry
# and the AppStream data pass their validators, the manual page formats
# without warnings, and they agree with each other and with the project:
# the newest release and the manual page name VERSION, and the icon and the
# screenshots they name are in the sources.
# Usage: check-desktop-files.sh SOURCE_DIR VERSION. A missing checking tool
# fails the check, saying which: `./scripts/setup.sh test` installs them.
set -u
root=$1
version=$2
data=$root/data
id=org.vesk.Browser

missing=""
for tool in desktop-file-validate appstreamcli groff; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
if [ -n "$missing" ]; then
    echo "cannot check: missing$missing (./scripts/setup.sh test installs them)" >&2
    exit 1
fi

status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}

# desktop-file-validate prints a line for each error, warning or hint.
out=$(desktop-file-validate "$data/$id.desktop" 2>&1) || fail "desktop-file-validate"
[ -z "$out" ] || fail "desktop-file-validate: $out"

appstreamcli validate --no-net "$data/$id.metainfo.xml" || fail "appstreamcli validate"

out=$(groff -man -ww -z "$data/vesk.1" 2>&1) || fail "groff"
[ -z "$out" ] || fail "vesk.1: $out"

newest=$(sed -n 's/.*<release [^>]*version="\([^"]*\)".*/\1/p' "$data/$id.metainfo.xml" | head -n 1)
[ "$newest" = "$version" ] || fail "newest release in the metainfo is '$newest', the project is $version"
grep -q "^\.TH VESK 1 [^ ]* \"Vesk $version\"" "$data/vesk.1" ||
    fail "vesk.1 does not name Vesk $version in its .TH line"

icon=$(sed -n 's/^Icon=//p' "$data/$id.desktop")
[ "$icon" = "$id" ] || fail "the desktop entry names icon '$icon', not $id"
for f in "scalable/apps/$id.svg" "symbolic/apps/$id-symbolic.svg"; do
    [ -s "$data/icons/hicolor/$f" ] || fail "no icon $f"
done

shots=$(sed -n 's|.*<image[^>]*>[^<]*/\([^/<]*\)</image>.*|\1|p' "$data/$id.metainfo.xml")
[ -n "$shots" ] || fail "the metainfo shows no screenshot"
for shot in $shots; do
    [ -s "$data/screenshots/$shot" ] || fail "screenshot $shot is not in data/screenshots"
done

[ $status -eq 0 ] && echo "desktop files: valid"
exit $status
