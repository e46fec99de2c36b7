#!/usr/bin/env bash
# run-picking.sh [BENCH_PICKING] [--screen WxH]... [ARGS...]
# Runs the picking benchmark on the real X11 platform (QT_QPA_PLATFORM=xcb)
# of a private Xvfb, one server per screen size (a display number the
# server picks itself), with no window manager, and stops each server on
# every way out. Screen sizes default to 1920x1080 and 3840x2160.
# BENCH_PICKING defaults to build/bench/bench_picking beside this folder;
# ARGS go to it (--sessions N, --moves N, --picks N, --data DIR, --check).
# The exit status is the first non-zero one of the runs.
# Needs the Debian package xvfb. Build with -DTINTARO_BUILD_BENCH=ON.
set -u
here=$(cd "$(dirname "$0")" && pwd)
bench="$here/../build/bench/bench_picking"
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    bench=$1
    shift
fi
screens=()
args=()
while [ $# -gt 0 ]; do
    case $1 in
    --screen)
        [ $# -ge 2 ] && [[ $2 =~ ^[0-9]+x[0-9]+$ ]] ||
            { echo "run-picking.sh: --screen needs WIDTHxHEIGHT" >&2; exit 2; }
        screens+=("$2")
        shift 2
        ;;
    *)
        args+=("$1")
        shift
        ;;
    esac
done
[ ${#screens[@]} -gt 0 ] || screens=(1920x1080 3840x2160)
[ -x "$bench" ] || { echo "run-picking.sh: no benchmark program at $bench" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "run-picking.sh: Xvfb not found (Debian package xvfb)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tintaro-bench.XXXXXX") || exit 1
xvfb_pid=""
stop_x()
{
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    fi
}
cleanup()
{
    local status=$?
    trap - EXIT INT TERM HUP
    stop_x
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

mkdir -m 700 "$work/run"
export HOME="$work" XDG_RUNTIME_DIR="$work/run"
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
      QT_FONT_DPI DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XAUTHORITY
export QT_QPA_PLATFORM=xcb

status=0
for screen in "${screens[@]}"; do
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -dpi 96 -nolisten tcp -noreset \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 400); do
        grep -q '[0-9]' "$work/display" && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    if ! grep -q '[0-9]' "$work/display"; then
        echo "run-picking.sh: Xvfb did not start at $screen:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    export DISPLAY=":$(tr -dc '0-9' <"$work/display")"
    "$bench" "${args[@]}"
    run_status=$?
    [ "$status" -ne 0 ] || status=$run_status
    stop_x
done
exit "$status"
