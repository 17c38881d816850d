#!/bin/sh
# Runs every test. GUI tests need a display: without one, they run under Xvfb,
# inside a private D-Bus session so GTK has a bus to talk to.
set -eu
build=${1:-build}
cd "$build"
# No accessibility bus is needed for the tests; it only adds noise.
export GTK_A11Y=none NO_AT_BRIDGE=1
# WebKit's network process keeps the cache folder it first saw for the whole
# run; give it one of its own, removed afterwards, instead of the real one.
XDG_CACHE_HOME=$(mktemp -d "${TMPDIR:-/tmp}/vesk-test-cache-XXXXXX")
export XDG_CACHE_HOME
trap 'rm -rf "$XDG_CACHE_HOME"' EXIT
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    # The second-launch test meets the running instance on the session bus.
    if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
        dbus-run-session -- ctest --output-on-failure
        exit $?
    fi
    ctest --output-on-failure
    exit $?
fi
xvfb-run -a -s "-screen 0 1920x1200x24" dbus-run-session -- ctest --output-on-failure
