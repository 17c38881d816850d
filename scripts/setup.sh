#!/bin/sh
# Installs the Debian packages that one use of the project needs, only those
# that are missing: `run` (build and start Vesk), `test` (also the tests),
# `bench` (also the benchmarks), `fuzz` (also the fuzz targets) or `deb` (the
# Debian package).
set -eu

purpose=${1:-run}

RUN="build-essential cmake pkg-config \
libgtkmm-4.0-dev libwebkitgtk-6.0-dev libplist-dev liburiparser-dev libsqlite3-dev \
adwaita-icon-theme fonts-dejavu-core fonts-noto-color-emoji"
# The tests: GoogleTest, a local HTTP server (libsoup), plistutil and Python's
# plistlib as outside readers of the store's files, a virtual display with a
# private D-Bus session, real pointer clicks (xdotool), the format check and
# openssl, which makes the certificate of the HTTPS test server; GNOME's
# interface settings, which the desktop appearance follows without a portal;
# the validators of the desktop entry, the AppStream data and the manual page.
TEST="googletest libgtest-dev libsoup-3.0-dev libplist-utils python3 \
xvfb xauth dbus xdotool clang-format openssl gsettings-desktop-schemas \
desktop-file-utils appstream groff-base"
BENCH="libbenchmark-dev libsoup-3.0-dev xvfb xauth dbus"
# clang, with libFuzzer and the sanitizer runtimes of its compiler-rt.
FUZZ="clang libclang-rt-14-dev"
# The Debian package: its helpers and lintian, which checks it.
DEB="debhelper dpkg-dev lintian"

case "$purpose" in
    run) PACKAGES="$RUN" ;;
    test) PACKAGES="$RUN $TEST" ;;
    bench) PACKAGES="$RUN $BENCH" ;;
    fuzz) PACKAGES="$RUN $FUZZ" ;;
    deb) PACKAGES="$RUN $DEB" ;;
    *) echo "usage: $0 [run|test|bench|fuzz|deb]" >&2; exit 2 ;;
esac

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
