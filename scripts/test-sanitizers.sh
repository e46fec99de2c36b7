#!/bin/sh
# Builds Tintaro2.0 with its tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (GCC) in build/asan and runs the whole test
# suite there, end-to-end tests included. Any sanitizer report fails the
# test that caused it. Installs missing Debian packages first.
#
# Leaks: the program's own allocations are checked; what Qt's platform
# plugins, fontconfig and the other system libraries keep until the process
# ends is suppressed by library (tests/support/lsan.supp), never wholesale.
#
# Extra arguments go to ctest, e.g. `-R palette` or `-L e2e`.
set -e
. "$(dirname "$0")/setup.sh"
# shellcheck disable=SC2086
ensure_packages $TINTARO_RUN_PACKAGES $TINTARO_TEST_PACKAGES

build=$TINTARO_ROOT/build/asan
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
say "building with AddressSanitizer and UndefinedBehaviorSanitizer in $build"
configure_and_build "$build" RelWithDebInfo -DBUILD_TESTING=ON \
    -DCMAKE_CXX_COMPILER=g++ \
    -DCMAKE_CXX_FLAGS="$sanitize" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_MODULE_LINKER_FLAGS="-fsanitize=address,undefined"

# The suppressions must be readable by the unprivileged user that some
# tests switch to, wherever this tree lies: a world-readable copy.
shared=$(mktemp -d "${TMPDIR:-/tmp}/tintaro-sanitizers.XXXXXX")
trap 'rm -rf "$shared"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
cp "$TINTARO_ROOT/tests/support/lsan.supp" "$shared/lsan.supp"
chmod 755 "$shared"
chmod 644 "$shared/lsan.supp"

# Exported, so that every test sees them: ctest passes its environment on,
# the unprivileged re-runs keep it (setpriv and env change only the user and
# HOME), and the end-to-end scripts change only display and folder settings.
# A sanitizer report ends the process with a failing status.
ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1"
ASAN_OPTIONS="$ASAN_OPTIONS:check_initialization_order=1"
LSAN_OPTIONS="suppressions=$shared/lsan.supp:print_suppressions=0"
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

"$build/tintaro-launcher" --prepare-only
say "running the tests under the sanitizers"
cd "$build"
ctest --output-on-failure --no-tests=error -j "$(nproc)" "$@"
