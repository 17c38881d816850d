#!/bin/sh
# The rules of the code's layers:
# - The core library stays free of widget and web-engine code: no source it
#   compiles may include a GTK, gtkmm, WebKit or libadwaita header.
# - Only the engine layer (src/engine) includes WebKit.
# - Components never reach up to the coordinator: nothing outside src/app
#   includes a header of src/app, and only the coordinator's own files and the
#   application object include AppDelegate.h.
# - No two folders of src include each other, however indirectly.
set -eu
root=$1
sources=$(sed -n '/^add_library(vesk_core/,/^)/p' "$root/CMakeLists.txt" | grep -o 'src/[^ )]*\.cpp')
status=0
for src in $sources; do
    for f in "$root/$src" "$root/${src%.cpp}.h"; do
        [ -f "$f" ] || continue
        if grep -nE '#include *[<"](gtk|gtkmm|gdk|webkit|adwaita|gdkmm)' "$f"; then
            echo "core source $f includes a widget header" >&2
            status=1
        fi
    done
done
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for f in $(find "$root/src" -name '*.h' -o -name '*.cpp'); do
    folder=${f#"$root"/src/}
    folder=${folder%%/*}
    case "$f" in
        "$root"/src/engine/*) ;;
        *)
            if grep -nE '#include *<webkit/' "$f"; then
                echo "$f includes WebKit outside src/engine" >&2
                status=1
            fi
            ;;
    esac
    case "$f" in
        "$root"/src/app/*) ;;
        *)
            if grep -nE '#include *"app/' "$f"; then
                echo "$f reaches up into src/app" >&2
                status=1
            fi
            ;;
    esac
    case "$f" in
        "$root"/src/app/AppDelegate*|"$root"/src/app/VeskApplication*) ;;
        *)
            if grep -nE '#include *"app/AppDelegate\.h"' "$f"; then
                echo "$f includes the coordinator" >&2
                status=1
            fi
            ;;
    esac
    sed -nE 's/^#include *"([a-z]+)\/.*/\1/p' "$f" | while read -r used; do
        [ "$used" = "$folder" ] || echo "$used $folder"
    done >>"$edges"
done
if ! sort -u "$edges" | tsort >/dev/null 2>&1; then
    echo "the folders of src include each other in a loop:" >&2
    sort -u "$edges" | tsort 2>&1 >/dev/null | sed 1d >&2
    status=1
fi
[ $status -eq 0 ] && echo "layering: clean"
exit $status
