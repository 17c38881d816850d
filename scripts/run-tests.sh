#!/bin/sh
# Runs every test. GUI tests need a display: without one, they run under Xvfb,
# inside a private D-Bus session so GTK has a bus to talk to.
set -eu
build=${1:-build}
cd "$build"
# No accessibility bus is needed for the tests; it only adds noise.
export GTK_A11Y=none NO_AT_BRIDGE=1
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ctest --output-on-failure
fi
exec xvfb-run -a -s "-screen 0 1920x1200x24" dbus-run-session -- ctest --output-on-failure
