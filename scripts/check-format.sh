#!/bin/sh
# Fails when a tracked C++ source differs from what clang-format makes of it.
set -eu
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
[ -z "$files" ] && exit 0
# shellcheck disable=SC2086
if ! clang-format --dry-run --Werror $files; then
    echo "Sources are not formatted: run 'make format'." >&2
    exit 1
fi
