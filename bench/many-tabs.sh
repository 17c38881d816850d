#!/bin/bash
# Memory of many tabs: N distinct local pages (150-300 KB each: text, a style
# sheet, images and a script) opened from the command line, each selected once,
# then left for the sleep interval (SLEEP_MINUTES, one minute unless told; 0
# keeps every tab awake). Prints the whole process
# tree's PSS with every tab awake and once idle tabs sleep, and how many web
# processes remain. Everything runs on 127.0.0.1, in one Xvfb, with a fresh HOME.
#
#   N=50 bench/many-tabs.sh build/vesk
set -eu
vesk=$(realpath "${1:-build/vesk}")
n=${N:-50}
port=${PORT:-8725}
display=${DISPLAY_NUMBER:-:89}
work=$(mktemp -d "${TMPDIR:-/tmp}/vesk-many-tabs-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

python3 - "$work/www" "$n" <<'PY'
import os, random, sys
root, n = sys.argv[1], int(sys.argv[2])
os.makedirs(root)
words = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor".split()
open(f"{root}/site.css", "w").write("body{font:16px serif;max-width:60em;margin:auto}"
    ".card{box-shadow:0 2px 8px #0003;border-radius:8px;padding:1em;margin:1em 0}")
for i in range(n):
    rnd = random.Random(i)
    size = rnd.randint(150, 300) * 1024
    parts, total = [], 0
    while total < size:
        p = "<div class=card><p>" + " ".join(rnd.choice(words) for _ in range(200)) + "</p>"
        p += (f'<svg width=300 height=120><rect width=300 height=120 fill="#{rnd.randrange(1<<24):06x}"/>'
              f'<circle cx=150 cy=60 r=50 fill="#fff"/></svg></div>')
        parts.append(p); total += len(p)
    html = (f"<!doctype html><title>Page {i}</title><link rel=stylesheet href=site.css>"
            "<script>addEventListener('load',()=>document.body.dataset.ready=1)</script>"
            f"<h1>Page {i}</h1><textarea></textarea>" + "".join(parts))
    open(f"{root}/p{i}.html", "w").write(html)
PY

mkdir -p "$work/home/config/Vesk"
cat >"$work/home/config/Vesk/defaults.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>SleepInactiveTabsAfterMinutes</key><integer>${SLEEP_MINUTES:-1}</integer></dict></plist>
PLIST
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
export XDG_CACHE_HOME=$work/home/cache GTK_A11Y=none NO_AT_BRIDGE=1
python3 -m http.server --bind 127.0.0.1 "$port" --directory "$work/www" >/dev/null 2>&1 &
pids+=($!)
Xvfb "$display" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
export DISPLAY=$display
addresses=()
for ((i = 0; i < n; i++)); do addresses+=("http://127.0.0.1:$port/p$i.html"); done
dbus-run-session -- "$vesk" "${addresses[@]}" >"$work/vesk.log" 2>&1 &
session=$!
pids+=($session)
sleep 5

tree() {
    local p=$1
    echo "$p"
    for c in $(cat /proc/"$p"/task/*/children 2>/dev/null); do tree "$c"; done
}
pss() {
    local total=0 kb
    for p in $(tree "$session"); do
        kb=$(awk '/^Pss:/ {print $2}' /proc/"$p"/smaps_rollup 2>/dev/null || true)
        total=$((total + ${kb:-0}))
    done
    echo $((total / 1024))
}
webProcesses() {
    local count=0
    for p in $(tree "$session"); do
        grep -q '^WebKitWebProces' /proc/"$p"/comm 2>/dev/null && count=$((count + 1))
    done
    echo "$count"
}

echo "tabs: $n"
echo "opened (one page loaded): $(pss) MiB, web processes $(webProcesses)"
# Each tab selected once, first to last (the last is selected at start).
xdotool mousemove 700 500
for ((i = 0; i < n; i++)); do
    xdotool key ctrl+Page_Down
    sleep "${SELECT_PAUSE:-1.5}"
done
sleep 5
echo "each selected once: $(pss) MiB, web processes $(webProcesses)"
sleep "${IDLE_WAIT:-100}"
echo "after the sleep interval: $(pss) MiB, web processes $(webProcesses)"
