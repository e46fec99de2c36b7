#!/bin/sh
# Runs a test binary as an unprivileged user when started as root, so that
# read-only files and folders really are read-only to it (root writes anyway).
[ "$(id -u)" = 0 ] || exec "$@"
asnobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp "$@"; }
bin=$1; shift
if ! asnobody test -x "$bin"; then
    # The build tree may lie below a folder that others cannot enter: run a copy.
    dir=$(mktemp -d) || exit 1
    trap 'rm -rf "$dir"' EXIT
    cp "$bin" "$dir/" && chmod 755 "$dir" "$dir/$(basename "$bin")"
    bin="$dir/$(basename "$bin")"
    asnobody "$bin" "$@"
    exit $?
fi
exec setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp "$bin" "$@"
