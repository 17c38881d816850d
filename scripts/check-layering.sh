#!/bin/sh
# Two rules of the code's layers:
# - The core library stays free of widget and web-engine code: no source it
#   compiles may include a GTK, gtkmm, WebKit or libadwaita header.
# - Components never reach up to the coordinator: nothing outside src/app
#   includes a header of src/app, and only the coordinator's own files and the
#   application object include AppDelegate.h.
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
for f in $(find "$root/src" -name '*.h' -o -name '*.cpp'); do
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
done
[ $status -eq 0 ] && echo "layering: clean"
exit $status
