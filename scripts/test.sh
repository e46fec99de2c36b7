#!/bin/sh
# Builds Tintaro2.0 with its tests and runs them all: unit and widget tests
# on the offscreen platform, end-to-end tests under private X servers that
# the tests start themselves; then a bounded fuzzing run of every file
# reader, and the whole suite again under the address and undefined
# behaviour sanitizers. Installs missing Debian packages first.
set -e
. "$(dirname "$0")/setup.sh"
# shellcheck disable=SC2086
ensure_packages $TINTARO_RUN_PACKAGES $TINTARO_TEST_PACKAGES $TINTARO_FUZZ_PACKAGES
configure_and_build "$TINTARO_ROOT/build/test" RelWithDebInfo -DBUILD_TESTING=ON
"$TINTARO_ROOT/build/test/tintaro-launcher" --prepare-only
say "running the tests"
cd "$TINTARO_ROOT/build/test"
ctest --output-on-failure --no-tests=error -j "$(nproc)"
say "checking the Debian package"
"$TINTARO_ROOT/scripts/test-package.sh"
say "fuzzing the file readers"
"$TINTARO_ROOT/scripts/test-fuzz.sh"
say "all tests again under AddressSanitizer and UndefinedBehaviorSanitizer"
"$TINTARO_ROOT/scripts/test-sanitizers.sh"
