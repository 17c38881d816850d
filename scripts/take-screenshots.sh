#!/bin/sh
# Takes the screenshots in data/screenshots/, which the AppStream data shows in
# software centres, from the real window under Xvfb with the screenshot tool:
# `scripts/take-screenshots.sh [BUILD_DIR]` after `./scripts/setup.sh bench`.
# The tool makes the pages itself; nothing is loaded from the network.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target vesk_screenshot
export GTK_A11Y=none NO_AT_BRIDGE=1
mkdir -p data/screenshots
shot() {
    name=$1
    shift
    xvfb-run -a -s "-screen 0 1920x1200x24" dbus-run-session -- \
        "./$build/vesk_screenshot" "data/screenshots/$name" "$@" 2>/dev/null
}
shot main.png site news.example "Morning news" tabs 1 \
    site weather.example "Weather and news for today" tabs 1 \
    site docs.example "Getting started" wait 1500
shot sidebar.png theme ocean site news.example "Morning news" tabs 1 \
    site docs.example "Getting started" tabs 1 \
    site weather.example "Weather and news for today" folder sidebar select 1 wait 1500
shot history.png theme sunset site news.example "Morning news" tabs 1 \
    site docs.example "Getting started" entries history filter news wait 1500
