#!/bin/sh
# Installs the Debian packages that building, running and testing Vesk need,
# only those that are missing. Used by both `make run` and `make test`.
set -eu

PACKAGES="build-essential cmake pkg-config clang-format \
libgtkmm-4.0-dev libwebkitgtk-6.0-dev libadwaita-1-dev \
libplist-dev libplist++-dev libplist-utils libsoup-3.0-dev \
googletest libgtest-dev libgmock-dev libbenchmark-dev \
xvfb xauth dbus dbus-x11 adwaita-icon-theme fonts-dejavu-core fonts-noto-color-emoji imagemagick"

missing=""
for p in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        "install ok installed") ;;
        *) missing="$missing $p" ;;
    esac
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
