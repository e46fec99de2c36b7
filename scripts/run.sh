#!/bin/sh
# Builds Tintaro2.0 (Release) and starts it in the user's data folder,
# installing the Debian packages it needs first when they are missing.
set -e
. "$(dirname "$0")/setup.sh"
# shellcheck disable=SC2086
ensure_packages $TINTARO_RUN_PACKAGES
configure_and_build "$TINTARO_ROOT/build/release" Release -DBUILD_TESTING=OFF
say "starting Tintaro2.0"
exec "$TINTARO_ROOT/build/release/tintaro-launcher"
