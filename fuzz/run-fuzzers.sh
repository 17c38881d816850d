#!/bin/sh
# Runs every fuzz target for a bounded time, one after another:
#   fuzz/run-fuzzers.sh BUILD_DIR [SECONDS]
# FUZZ_TARGETS picks some of them (e.g. "history vault"). Each starts from its
# seeds in fuzz/corpus/<target>/ and its kept inputs in fuzz/regressions/<target>/;
# what it learns stays in BUILD_DIR/fuzz-corpus/<target>/, what fails it goes to
# BUILD_DIR/fuzz-artifacts/<target>/. Fails when any target fails.
set -eu

build=$(cd "${1:?usage: $0 BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
targets=${FUZZ_TARGETS:-"history vault defaults color_archive address_rules history_filter bookmarks"}

# The store targets write and flush files for every input; a folder in memory
# keeps that from wearing the disk and slowing the run.
scratch_base=${TMPDIR:-/tmp}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    scratch_base=/dev/shm
fi
TMPDIR=$(mktemp -d "$scratch_base/vesk-fuzz-XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT INT TERM

# Undefined behaviour is built to stop the run; the stack says where.
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=""
for target in $targets; do
    binary=$build/fuzz/fuzz_$target
    work=$build/fuzz-corpus/$target
    artifacts=$build/fuzz-artifacts/$target
    log=$build/fuzz-$target.log
    mkdir -p "$work" "$artifacts"
    set -- "$work" "$root/fuzz/corpus/$target"
    if [ -d "$root/fuzz/regressions/$target" ]; then
        set -- "$@" "$root/fuzz/regressions/$target"
    fi
    echo "fuzz: $target for ${seconds}s (log: $log)"
    status=0
    "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$@" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
    echo "fuzz: $target: ${runs:-?} runs, ${speed:-?}/s, ${coverage:-no coverage}"
    if [ "$status" -ne 0 ]; then
        failed="$failed $target"
        grep -E 'ERROR:|fuzz check failed|runtime error|Test unit written' "$log" | head -n 20
        echo "fuzz: $target failed; keep the input as fuzz/regressions/$target/<what-it-shows>"
    fi
done

if [ -n "$failed" ]; then
    echo "fuzz: failed:$failed" >&2
    exit 1
fi
echo "fuzz: every target ran clean"
