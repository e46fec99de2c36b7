#!/bin/sh
# Builds Tintaro2.0 with AddressSanitizer and UndefinedBehaviorSanitizer in build/asan
# and runs the whole ctest suite there; extra arguments go to ctest (-R palette).
set -e
. "$(dirname "$0")/setup.sh"
# shellcheck disable=SC2086
ensure_packages $TINTARO_RUN_PACKAGES $TINTARO_TEST_PACKAGES
build=$TINTARO_ROOT/build/asan
say "building with the sanitizers in $build"
configure_and_build "$build" RelWithDebInfo -DBUILD_TESTING=ON -DCMAKE_CXX_COMPILER=g++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# What system libraries keep until exit is suppressed by library; the copy is
# world-readable for the tests that re-run as an unprivileged user.
supp=$(mktemp -d) && trap 'rm -rf "$supp"' EXIT
cp "$TINTARO_ROOT/tests/support/lsan.supp" "$supp/" && chmod -R a+rX "$supp"
export ASAN_OPTIONS=detect_stack_use_after_return=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
"$build/tintaro-launcher" --prepare-only
say "running the tests under the sanitizers"
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)" "$@"
