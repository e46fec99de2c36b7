#!/bin/sh
# Builds fuzz/ in build/fuzz and runs each target FUZZ_SECONDS (60) on a copy of its seeds;
# any crash, sanitizer report, leak or hang fails, its log and input left in build/fuzz/run/.
set -e
. "$(dirname "$0")/setup.sh"
# shellcheck disable=SC2086
ensure_packages $TINTARO_RUN_PACKAGES $TINTARO_FUZZ_PACKAGES
build=$TINTARO_ROOT/build/fuzz
say "building the fuzz targets in $build"
cmake -S "$TINTARO_ROOT/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)"
# The targets write below TMPDIR: in memory when possible, as syncing to disk is slow.
TMPDIR=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d) && trap 'rm -rf "$TMPDIR"' EXIT
export TMPDIR ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
for target in mycolor websafe setdat colorset; do
    run=$build/run/$target
    rm -rf "$run" && mkdir -p "$run/seeds" && cp "$TINTARO_ROOT/fuzz/corpus/$target"/* "$run/seeds/"
    if "$build/fuzz_$target" -max_total_time="${FUZZ_SECONDS:-60}" -timeout=10 \
        -dict="$TINTARO_ROOT/fuzz/tintaro.dict" -artifact_prefix="$run/" "$run/seeds" >"$run/log" 2>&1; then
        echo "fuzz_$target: ok, $(grep -o 'Done.*' "$run/log")"
    else
        echo "fuzz_$target: FAILED, see $run/log"
        sed -n '/ERROR\|runtime error/,$p' "$run/log" | head -n 40 >&2
        failed=1
    fi
done
exit "${failed:-0}"
