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
command -v Xvfb >/dev/null || { echo "run-startup.sh: Xvfb not found (Debian package xvfb)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tintaro-bench.XXXXXX") || exit 1
xvfb_pid=""
cleanup()
{
    local status=$?
    trap - EXIT INT TERM HUP
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

mkdir -m 700 "$work/run"
export HOME="$work" XDG_RUNTIME_DIR="$work/run"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY

: >"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 400); do
    grep -q '[0-9]' "$work/display" && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
done
if ! grep -q '[0-9]' "$work/display"; then
    echo "run-startup.sh: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(tr -dc '0-9' <"$work/display")"
"$bench" "$@"
