#!/usr/bin/env bash
# run-startup.sh [BENCH_STARTUP] [ARGS...]
# Runs the start-up benchmark on a private Xvfb (a display number the server
# picks itself), with no window manager, and stops the server on every way
# out. BENCH_STARTUP defaults to build/bench/bench_startup beside this
# folder; ARGS go to it (--runs N, --data DIR, --check).
# Needs the Debian package xvfb. Build with -DTINTARO_BUILD_BENCH=ON.
set -u
here=$(cd "$(dirname "$0")" && pwd)
bench="$here/../build/bench/bench_startup"
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    bench=$1
    shift
fi
[ -x "$bench" ] || { echo "run-startup.sh: no benchmark program at $bench" >&2; exit 2; }
# shellcheck source=../scripts/xsession.sh
. "$here/../scripts/xsession.sh"
e2e_begin "run-startup.sh"
e2e_need Xvfb xwininfo
e2e_start_x
"$bench" "$@"
