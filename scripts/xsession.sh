# Shared by the end-to-end tests, the package check, the benchmarks and the
# screenshots (bash, sourced): a private X server, an optional window
# manager, the program, and bounded polls of what the server reports.
# e2e_begin installs e2e_cleanup as the EXIT trap, which stops all of it.

E2E_POLL_INTERVAL=0.05
e2e_work="" e2e_xvfb_pid="" e2e_wm_pid="" e2e_wm=nowm e2e_app_wrapper_pid="" e2e_name=e2e seen=""
e2e_extra_pids=()

# Says what went wrong, with the windows and the program's output, and exits 1.
# With E2E_KEEP=DIR set, the work folder (screens, logs, data) is copied there first.
e2e_fail()
{
    echo "$e2e_name: FAIL: $*" >&2
    [ -z "${E2E_KEEP:-}" ] || cp -r "$e2e_work" "$E2E_KEEP"
    [ -z "$e2e_xvfb_pid" ] || xwininfo -root -tree 2>/dev/null | grep '^ *0x[0-9a-f]* "' | grep -v '"Openbox"' >&2
    [ ! -e "$e2e_work/app.status" ] || echo "the program ended with status $(cat "$e2e_work/app.status")" >&2
    [ ! -s "$e2e_work/app.log" ] || sed 's/^/    /' "$e2e_work/app.log" >&2
    exit 1
}

# colour_at X Y [MASK]: RRGGBB of the test pattern's pixel at X,Y (red x, green y, blue
# their upper bits), XOR MASK: what e2e_xprobe paints and way_pattern draws.
colour_at() { printf '%06X' $(((($1 & 255) << 16 | ($2 & 255) << 8 | $1 >> 8 | ($2 >> 8) << 4) ^ ${3:-0})); }
# listing FOLDER: its files and their checksums, to compare two folders.
listing() { (cd "$1" && cksum -- * | sort -k3); }

e2e_need() { local t; for t; do command -v "$t" >/dev/null || e2e_fail "missing $t (Debian packages: xvfb xdotool x11-utils openbox)"; done; }

e2e_stop_pid()
{
    local i
    [ -n "$1" ] && kill "$1" 2>/dev/null || return 0
    for i in $(seq 40); do kill -0 "$1" 2>/dev/null && sleep $E2E_POLL_INTERVAL; done
    kill -9 "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 0
}

e2e_cleanup()
{
    local status=$? pid
    trap - EXIT
    [ ! -s "$e2e_work/app.pid" ] || e2e_stop_pid "$(cat "$e2e_work/app.pid")"
    for pid in "$e2e_app_wrapper_pid" "${e2e_extra_pids[@]}" "$e2e_wm_pid" "$e2e_xvfb_pid"; do e2e_stop_pid "$pid"; done
    [ -z "$e2e_work" ] || rm -rf "$e2e_work"
    exit "$status"
}

# e2e_begin NAME: a private work folder holding HOME and the XDG folders, so
# that the toolkit reads none of the user's settings or session.
e2e_begin()
{
    e2e_name=$1
    e2e_work=$(mktemp -d "${TMPDIR:-/tmp}/tintaro-e2e.XXXXXX") || exit 1
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM HUP
    mkdir -p "$e2e_work/home" "$e2e_work/run"
    chmod 700 "$e2e_work/run"
    export HOME=$e2e_work/home XDG_RUNTIME_DIR=$e2e_work/run XDG_CONFIG_HOME=$e2e_work/home/.config \
        XDG_CACHE_HOME=$e2e_work/home/.cache XDG_DATA_HOME=$e2e_work/home/.local/share
    unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
        QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER DESKTOP_SESSION \
        XDG_CURRENT_DESKTOP WAYLAND_DISPLAY XAUTHORITY DISPLAY
}

# e2e_wait SECONDS DESCRIPTION COMMAND...: polls COMMAND until it succeeds;
# on time-out fails with DESCRIPTION and whatever COMMAND left in $seen.
e2e_wait()
{
    local tries=$(($1 * 20)) what=$2 i
    shift 2
    for ((i = 0; i < tries; i++)); do
        seen=""
        "$@" && return 0
        sleep $E2E_POLL_INTERVAL
    done
    e2e_fail "waited $((tries / 20))s for $what${seen:+; saw $seen}"
}

# e2e_start_x [WIDTHxHEIGHT]: Xvfb (1280x1024) on a display number it picks.
e2e_start_x()
{
    : >"$e2e_work/display"
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -dpi 96 -nolisten tcp -noreset \
        3>"$e2e_work/display" >"$e2e_work/xvfb.log" 2>&1 &
    e2e_xvfb_pid=$!
    e2e_wait 20 "Xvfb to start" grep -q '[0-9]' "$e2e_work/display"
    export DISPLAY=":$(tr -dc '0-9' <"$e2e_work/display")"
    e2e_wait 20 "the X server on $DISPLAY" xwininfo -root >/dev/null 2>&1
}

# e2e_two_monitors: splits the screen (start it 2304x1024) into two monitors side by
# side, 1280x1024 at 0,0 and 1024x768 at 1280,0, as RandR and Xinerama report them.
e2e_two_monitors()
{
    e2e_need xrandr
    xrandr --setmonitor left 1280/339x1024/271+0+0 screen >/dev/null &&
        xrandr --setmonitor right 1024/271x768/203+1280+0 none ||
        e2e_fail "could not split the screen into two monitors"
}

# e2e_start_wm nowm|openbox|metacity
e2e_start_wm()
{
    local command
    case $1 in
    nowm) return 0 ;;
    openbox) command=(openbox --sm-disable) ;;
    metacity) command=(metacity --sm-disable --compositor=none) ;;
    *) e2e_fail "unknown window manager '$1' (nowm, openbox or metacity)" ;;
    esac
    e2e_need "$1"
    "${command[@]}" >"$e2e_work/wm.log" 2>&1 &
    e2e_wm_pid=$! e2e_wm=$1
    e2e_wait 20 "$1 to take over the screen" eval "xprop -root _NET_WORKAREA 2>/dev/null | grep -q ="
}

# e2e_start_app FOLDER COMMAND...: runs COMMAND in FOLDER; its pid lands in
# $e2e_work/app.pid, its exit status in app.status when it ends.
e2e_start_app()
{
    rm -f "$e2e_work"/app.*
    (
        cd "$1" && shift || exit 1
        "$@" >"$e2e_work/app.log" 2>&1 &
        echo $! >"$e2e_work/app.pid"
        wait $!
        echo $? >"$e2e_work/app.new" && mv "$e2e_work/app.new" "$e2e_work/app.status"
    ) &
    e2e_app_wrapper_pid=$!
    e2e_wait 10 "the program to start" test -s "$e2e_work/app.pid"
}

# e2e_wait_exit SECONDS: the program's exit status goes to e2e_status.
e2e_wait_exit() { e2e_wait "$1" "the program to end" test -e "$e2e_work/app.status" && e2e_status=$(cat "$e2e_work/app.status"); }

# e2e_wait_window TITLE [SECONDS]: a visible window titled TITLE (a regular
# expression), its id in e2e_window.
e2e_find_window() { e2e_window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1); [ -n "$e2e_window" ]; }
e2e_wait_window() { e2e_wait "${2:-20}" "a visible window titled '$1'" e2e_find_window "$1"; }

e2e_window_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }

# e2e_geometry ID: "X Y W H" of the client area in root coordinates.
e2e_geometry()
{
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { if (w != "") print x, y, w, h }'
}
e2e_size() { e2e_geometry "$1" | awk '{ print $3 "x" $4 }'; }

# e2e_wait_managed ID: under a window manager, until it has framed the window.
e2e_wait_managed() { [ -z "$e2e_wm_pid" ] || e2e_wait 10 "$e2e_wm to frame window $1" eval "xprop -id $1 _NET_FRAME_EXTENTS | grep -q ="; }

# e2e_click X Y: a button-1 click at root X,Y.
e2e_click() { xdotool mousemove "$1" "$2" click 1; }
