#!/bin/sh
# Builds fuzz/ with clang in build/fuzz and runs each target FUZZ_SECONDS (60) on a copy of its
# seeds; a crash, sanitizer report, leak or hang fails, its log and input left in build/fuzz/run/.
set -e
. "$(dirname "$0")/setup.sh"
ensure_packages $TINTARO_RUN_PACKAGES $TINTARO_FUZZ_PACKAGES
build=$TINTARO_ROOT/build/fuzz failed=0
cmake -S "$TINTARO_ROOT/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"
# The targets write below TMPDIR: in memory when possible, as syncing to disk is slow.
TMPDIR=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d) && trap 'rm -rf "$TMPDIR"' EXIT && export TMPDIR
for target in mycolor websafe setdat colorset; do
    run=$build/run/$target && rm -rf "$run" && mkdir -p "$run" && cp -r "$TINTARO_ROOT/fuzz/corpus/$target" "$run/seeds"
    "$build/fuzz_$target" -max_total_time="${FUZZ_SECONDS:-60}" -timeout=10 -dict="$TINTARO_ROOT/fuzz/tintaro.dict" \
        -artifact_prefix="$run/" "$run/seeds" >"$run/log" 2>&1 && echo "fuzz_$target: ok, $(grep -o 'Done.*' "$run/log")" ||
        { echo "fuzz_$target: FAILED, see $run/log"; sed -n '/ERROR\|runtime error/,$p' "$run/log" | head -n 40 >&2; failed=1; }
done
exit "$failed"
