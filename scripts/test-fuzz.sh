#!/bin/sh
# Builds the fuzz targets of fuzz/ (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for a bounded time
# on a fresh copy of its seed corpus. Fails when any target crashes, hangs,
# leaks, runs out of memory or reports undefined behaviour; prints one line
# per target. Installs missing Debian packages first.
#
#   FUZZ_SECONDS  time per target, default 60
#   FUZZ_TARGETS  which targets, default all: mycolor websafe setdat colorset
#
# What a failing run found stays in build/fuzz/run/<target>/: fuzz.log, and
# the input that broke it in artifacts/. Replay it with
#   build/fuzz/fuzz_<target> /absolute/path/to/that/input
# (paths must be absolute: the targets work in a private folder of their own).
set -e
. "$(dirname "$0")/setup.sh"
# shellcheck disable=SC2086
ensure_packages $TINTARO_RUN_PACKAGES $TINTARO_FUZZ_PACKAGES

seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-mycolor websafe setdat colorset}
case $seconds in '' | *[!0-9]*) echo "FUZZ_SECONDS must be a whole number of seconds" >&2; exit 2 ;; esac

build=$TINTARO_ROOT/build/fuzz
cxx=$(command -v clang++ || command -v clang++-14) || { echo "clang++ not found" >&2; exit 1; }
say "building the fuzz targets in $build"
cmake -S "$TINTARO_ROOT/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build "$build" -j "$(nproc)"

# The targets write their files in a private folder below TMPDIR: memory
# when there is some, so that forcing files to disk costs nothing.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    scratch=$(mktemp -d /dev/shm/tintaro-fuzz-run.XXXXXX)
else
    mkdir -p "$build/run"
    scratch=$(mktemp -d "$build/run/tmp.XXXXXX")
fi
trap 'rm -rf "$scratch"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Sanitizer settings of their own, whatever the caller's environment says.
ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
unset LSAN_OPTIONS
export ASAN_OPTIONS UBSAN_OPTIONS

say "fuzzing each target for ${seconds}s"
failed=""
summary=""
for target in $targets; do
    binary=$build/fuzz_$target
    seeds=$TINTARO_ROOT/fuzz/corpus/$target
    if [ ! -x "$binary" ] || [ ! -d "$seeds" ]; then
        echo "no fuzz target named $target" >&2
        exit 2
    fi
    run=$build/run/$target
    rm -rf "$run"
    mkdir -p "$run/corpus" "$run/artifacts" "$scratch/$target"
    cp "$seeds"/* "$run/corpus/"
    log=$run/fuzz.log
    start=$(date +%s)
    status=0
    TMPDIR="$scratch/$target" "$binary" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -dict="$TINTARO_ROOT/fuzz/tintaro.dict" \
        -artifact_prefix="$run/artifacts/" -print_final_stats=1 \
        "$run/corpus" >"$log" 2>&1 || status=$?
    took=$(($(date +%s) - start))

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | sed 's/cov: //')
    units=$(find "$run/corpus" -type f | wc -l)
    problem=""
    if grep -q 'ERROR: LeakSanitizer' "$log"; then
        problem="leak"
    elif grep -q 'ERROR: AddressSanitizer' "$log"; then
        problem="address error"
    elif grep -q 'runtime error:' "$log"; then
        problem="undefined behaviour"
    elif grep -q 'ERROR: libFuzzer: timeout' "$log"; then
        problem="hang (over 10 s on one input)"
    elif grep -q 'ERROR: libFuzzer: out-of-memory' "$log"; then
        problem="out of memory"
    elif grep -q 'property broken' "$log"; then
        problem="property broken"
    elif grep -q 'ERROR: libFuzzer' "$log"; then
        problem="crash"
    elif [ "$status" -ne 0 ]; then
        problem="exit status $status"
    elif [ -n "$(ls -A "$run/artifacts")" ]; then
        problem="left inputs in artifacts/"
    fi
    if [ -n "$problem" ]; then
        line="fuzz_$target: FAILED: $problem after ${took}s; log $log"
        artifact=$(find "$run/artifacts" -type f | head -n 1)
        [ -n "$artifact" ] && line="$line; input $artifact"
        failed="$failed $target"
        # The report itself, for logs that only keep the output.
        grep -E -A 40 'property broken|ERROR: (Address|Leak)Sanitizer|runtime error:|ERROR: libFuzzer' \
            "$log" | head -n 60 >&2
    else
        line="fuzz_$target: ok, ${runs:-?} inputs in ${took}s, coverage ${cov:-?}, corpus $units files"
    fi
    echo "$line"
    summary="$summary$line
"
done

say "fuzzing summary"
printf '%s' "$summary"
if [ -n "$failed" ]; then
    echo "fuzzing found problems in:$failed" >&2
    exit 1
fi
