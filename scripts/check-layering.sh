#!/bin/sh
# The core library must stay free of widget and web-engine code: no source it
# compiles may include a GTK, gtkmm, WebKit or libadwaita header.
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
[ $status -eq 0 ] && echo "core layering: clean"
exit $status
