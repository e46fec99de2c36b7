#!/usr/bin/env bash
# run-picking.sh [BENCH_PICKING] [--wayland | --gnome | --wm openbox|metacity] [--screen WxH]... [ARGS...]
# Runs the picking benchmark on the real X11 platform (QT_QPA_PLATFORM=xcb)
# of a private Xvfb, one server per screen size (a display number the
# server picks itself), with no window manager (--wm: under that one), and
# stops each server on every way out. Screen sizes default to 1920x1080 and 3840x2160. With
# --wayland: on a headless sway instead (one output of each size, shown a
# pattern, with the desktop portal; scripts/waysession.sh), as an
# unprivileged user, the decoding of a screenshot of that size timed too.
# With --gnome: on a headless GNOME Shell (scripts/gnomesession.sh), whose
# one virtual monitor is 1280x1024, with the permission granted.
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
wayland="" gnome="" wm=nowm
while [ $# -gt 0 ]; do
    case $1 in
    --wm)
        [ $# -ge 2 ] || { echo "run-picking.sh: --wm needs openbox or metacity" >&2; exit 2; }
        wm=$2
        shift 2
        ;;
    --wayland)
        wayland=1
        shift
        ;;
    --gnome)
        wayland=1 gnome=1
        shift
        ;;
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
[ -z "$gnome" ] || screens=(1280x1024)
[ -x "$bench" ] || { echo "run-picking.sh: no benchmark program at $bench" >&2; exit 2; }
# shellcheck source=../scripts/gnomesession.sh
. "$here/../scripts/gnomesession.sh"
e2e_begin "run-picking.sh"

status=0
if [ -n "$wayland" ]; then
    if [ -n "$gnome" ]; then gnome_start; else way_start 1; fi
    # The session's user runs copies it can reach, in a folder of its own.
    mkdir "$e2e_work/bin" && cp "$bench" "$e2e_work/bin/" && cp -r "$here/../data" "$e2e_work/data" &&
        chown -R "$way_user:$way_group" "$e2e_work/bin" "$e2e_work/data"
    for screen in "${screens[@]}"; do
        [ -n "$gnome" ] || way_msg output HEADLESS-1 mode "$screen"
        way_pattern "${screen%x*}" "${screen#*x}" 0 0 0 >"$e2e_work/pattern.ppm"
        if [ -n "$gnome" ]; then
            gnome_background HEADLESS-1 "$e2e_work/pattern.ppm"
            way_run gdbus call --session --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
                --method org.gnome.Shell.Screenshot.Screenshot false false "$e2e_work/bin/shot.png" >/dev/null ||
                e2e_fail "the shell took no screenshot"
        else
            way_background HEADLESS-1 "$e2e_work/pattern.ppm"
            way_run grim "$e2e_work/bin/shot.png" || e2e_fail "grim took no screenshot"
        fi
        way_run env QT_QPA_PLATFORM=wayland "$e2e_work/bin/$(basename "$bench")" --data "$e2e_work/data" \
            --decode "$e2e_work/bin/shot.png" "${args[@]}"
        run_status=$?
        [ "$status" -ne 0 ] || status=$run_status
    done
    exit "$status"
fi
e2e_need Xvfb xwininfo
export QT_QPA_PLATFORM=xcb
for screen in "${screens[@]}"; do
    e2e_start_x "$screen"
    e2e_start_wm "$wm"
    "$bench" "${args[@]}"
    run_status=$?
    [ "$status" -ne 0 ] || status=$run_status
    e2e_stop_pid "$e2e_wm_pid"
    e2e_stop_pid "$e2e_xvfb_pid"
    e2e_wm_pid="" e2e_xvfb_pid=""
done
exit "$status"
