#!/bin/sh
# Builds with ASan and UBSan in build/asan and runs the whole ctest suite there; arguments go to ctest.
set -e
. "$(dirname "$0")/setup.sh"
ensure_packages $TINTARO_RUN_PACKAGES $TINTARO_TEST_PACKAGES
build=$TINTARO_ROOT/build/asan
configure_and_build "$build" RelWithDebInfo -DBUILD_TESTING=ON -DCMAKE_CXX_COMPILER=g++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# Leaks that system libraries keep until exit are suppressed, from a copy that the tests re-run as an unprivileged user can read.
supp=$(mktemp -d) && trap 'rm -rf "$supp"' EXIT && cp "$TINTARO_ROOT/tests/support/lsan.supp" "$supp/" && chmod -R a+rX "$supp"
export ASAN_OPTIONS=detect_stack_use_after_return=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)" "$@"
