# Shared by the end-to-end scripts (bash, sourced): a private X server, an
# optional window manager, the program under test, and bounded waits on what
# the X server reports. Everything started here is stopped by e2e_cleanup,
# which the sourcing script installs as its EXIT trap through e2e_begin.
#
# Nothing here sleeps to let something happen: every wait polls its condition
# a bounded number of times and fails loudly with what it saw.

E2E_POLL_INTERVAL=0.05
E2E_WAIT_SECONDS=20

e2e_work=""
e2e_xvfb_pid=""
e2e_wm_pid=""
e2e_app_wrapper_pid=""
e2e_extra_pids=()
e2e_name="e2e"

e2e_log() { printf '%s: %s\n' "$e2e_name" "$*" >&2; }

# Prints what went wrong, a picture of the window tree, and ends the script
# with status 1 (the EXIT trap stops everything).
e2e_fail()
{
    printf '%s: FAIL: %s\n' "$e2e_name" "$*" >&2
    if [ -n "${DISPLAY:-}" ] && [ -n "$e2e_xvfb_pid" ] && kill -0 "$e2e_xvfb_pid" 2>/dev/null; then
        printf '%s: named windows at the time (id "title": (class) size+x+y):\n' "$e2e_name" >&2
        xwininfo -root -tree 2>/dev/null | grep '^ *0x[0-9a-f]* "' |
            grep -v -e '"Openbox"' -e '"Qt Selection Owner' | sed 's/^ */    /' >&2
    fi
    if [ -n "$e2e_work" ] && [ -s "$e2e_work/app.log" ]; then
        printf '%s: program output:\n' "$e2e_name" >&2
        sed 's/^/    /' "$e2e_work/app.log" >&2
    fi
    exit 1
}

e2e_need()
{
    local tool missing=""
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
    done
    [ -z "$missing" ] || e2e_fail "missing tools:$missing (Debian packages: xvfb xdotool x11-utils openbox)"
}

e2e_stop_pid()
{
    local pid=$1 i
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    for i in $(seq 1 40); do
        kill -0 "$pid" 2>/dev/null || break
        sleep "$E2E_POLL_INTERVAL"
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

e2e_cleanup()
{
    local status=$? pid
    trap - EXIT INT TERM HUP
    if [ -n "$e2e_work" ] && [ -s "$e2e_work/app.pid" ]; then
        e2e_stop_pid "$(cat "$e2e_work/app.pid")"
    fi
    e2e_stop_pid "$e2e_app_wrapper_pid"
    for pid in "${e2e_extra_pids[@]}"; do e2e_stop_pid "$pid"; done
    e2e_stop_pid "$e2e_wm_pid"
    e2e_stop_pid "$e2e_xvfb_pid"
    [ -n "$e2e_work" ] && rm -rf "$e2e_work"
    exit "$status"
}

# e2e_begin NAME: makes the private work folder and installs the traps.
e2e_begin()
{
    e2e_name=$1
    e2e_work=$(mktemp -d "${TMPDIR:-/tmp}/tintaro-e2e.XXXXXX") || { echo "$1: mktemp failed" >&2; exit 1; }
    trap e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    trap 'exit 129' HUP
    # The program reads no environment of its own, but the toolkit does:
    # keep every run on the private display, away from the user's settings
    # and session, and keep run-time files inside the work folder.
    mkdir -p "$e2e_work/home" "$e2e_work/run"
    chmod 700 "$e2e_work/run"
    export HOME="$e2e_work/home"
    export XDG_RUNTIME_DIR="$e2e_work/run"
    export XDG_CONFIG_HOME="$e2e_work/home/.config"
    export XDG_CACHE_HOME="$e2e_work/home/.cache"
    export XDG_DATA_HOME="$e2e_work/home/.local/share"
    unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR \
          QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
          QT_FONT_DPI DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER DESKTOP_SESSION \
          XDG_CURRENT_DESKTOP WAYLAND_DISPLAY XAUTHORITY DISPLAY
}

# e2e_wait_for SECONDS DESCRIPTION COMMAND...: polls COMMAND until it succeeds.
e2e_wait_for()
{
    local seconds=$1 what=$2 i tries
    shift 2
    tries=$(awk -v s="$seconds" -v p="$E2E_POLL_INTERVAL" 'BEGIN { printf "%d", s / p }')
    for i in $(seq 1 "$tries"); do
        "$@" && return 0
        sleep "$E2E_POLL_INTERVAL"
    done
    e2e_fail "waited ${seconds}s for $what"
}

# e2e_start_x [WIDTHxHEIGHT]: starts Xvfb (1280x1024 unless told) on a
# display number that the server itself finds free (-displayfd), so that
# runs side by side never collide.
e2e_start_x()
{
    local size=${1:-1280x1024} fdfile="$e2e_work/display" i
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp -noreset \
        3>"$fdfile" >"$e2e_work/xvfb.log" 2>&1 &
    e2e_xvfb_pid=$!
    for i in $(seq 1 400); do
        grep -q '[0-9]' "$fdfile" 2>/dev/null && break
        kill -0 "$e2e_xvfb_pid" 2>/dev/null || break
        sleep "$E2E_POLL_INTERVAL"
    done
    grep -q '[0-9]' "$fdfile" || { sed 's/^/    /' "$e2e_work/xvfb.log" >&2; e2e_fail "Xvfb did not start"; }
    export DISPLAY=":$(tr -dc '0-9' <"$fdfile")"
    e2e_wait_for 20 "the X server on $DISPLAY to answer" xwininfo -root >/dev/null 2>&1
}

e2e_wm_ready()
{
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
        xprop -root _NET_WORKAREA 2>/dev/null | grep -q '='
}

e2e_desktops_are() { [ "$(xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | sed -n 's/.*= *//p')" = "$1" ]; }

# The first fake key press switches the server's core keyboard over to the
# XTEST device, which every client sees as a change of keyboard mapping;
# openbox answers it by grabbing its key bindings anew, and a shortcut typed
# meanwhile (Alt+F4) can be lost. Make that switch now with a key that does
# nothing, and wait until openbox has dealt with it: it handles events in
# order, so a change of the number of desktops asked for afterwards shows
# on the root window only once the mapping change is behind it.
e2e_settle_keyboard()
{
    local n
    xdotool key shift || e2e_fail "xdotool cannot type"
    n=$(xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | sed -n 's/.*= *//p')
    [ -n "$n" ] || e2e_fail "the window manager shows no _NET_NUMBER_OF_DESKTOPS"
    xdotool set_num_desktops $((n + 1))
    e2e_wait_for 10 "the window manager to add a desktop" e2e_desktops_are $((n + 1))
    xdotool set_num_desktops "$n"
    e2e_wait_for 10 "the window manager to remove the desktop again" e2e_desktops_are "$n"
}

# e2e_start_wm nowm|openbox
e2e_start_wm()
{
    case $1 in
    nowm) ;;
    openbox)
        e2e_need openbox
        openbox --sm-disable >"$e2e_work/openbox.log" 2>&1 &
        e2e_wm_pid=$!
        e2e_wait_for 20 "openbox to take over the screen" e2e_wm_ready
        e2e_settle_keyboard
        ;;
    *) e2e_fail "unknown window manager mode '$1' (nowm or openbox)" ;;
    esac
}

# e2e_start_app PROGRAM FOLDER: starts the program in FOLDER; its exit status
# lands in $e2e_work/app.status when it ends.
e2e_start_app()
{
    local program=$1 folder=$2
    rm -f "$e2e_work/app.pid" "$e2e_work/app.status"
    (
        cd "$folder" || exit 1
        "$program" >>"$e2e_work/app.log" 2>&1 &
        echo $! >"$e2e_work/app.pid"
        wait $!
        echo $? >"$e2e_work/app.status.new"
        mv "$e2e_work/app.status.new" "$e2e_work/app.status"
    ) &
    e2e_app_wrapper_pid=$!
    e2e_wait_for 10 "the program to start" test -s "$e2e_work/app.pid"
}

e2e_app_running() { [ ! -e "$e2e_work/app.status" ]; }

# e2e_wait_exit SECONDS: waits for the program to end; its exit status goes
# to e2e_status.
e2e_status=""
e2e_wait_exit()
{
    e2e_wait_for "$1" "the program to end" test -e "$e2e_work/app.status"
    e2e_status=$(cat "$e2e_work/app.status")
}

# e2e_find_window NAME: the visible top-level client window whose title is
# exactly NAME, or nothing.
e2e_find_window()
{
    local pattern
    pattern="^$(printf '%s' "$1" | sed 's/[][\.^$*+?(){}|]/\\&/g')\$"
    xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1
}

# e2e_wait_window NAME [SECONDS]: waits until a window titled exactly NAME is
# visible and puts its id in e2e_window; fails if the program ends first.
e2e_window=""
e2e_wait_window()
{
    local name=$1 seconds=${2:-$E2E_WAIT_SECONDS} id i tries
    tries=$(awk -v s="$seconds" -v p="$E2E_POLL_INTERVAL" 'BEGIN { printf "%d", s / p }')
    for i in $(seq 1 "$tries"); do
        id=$(e2e_find_window "$name")
        if [ -n "$id" ]; then
            e2e_window=$id
            return 0
        fi
        if [ -e "$e2e_work/app.status" ]; then
            e2e_fail "expected a window titled '$name'; the program ended with status $(cat "$e2e_work/app.status") first"
        fi
        sleep "$E2E_POLL_INTERVAL"
    done
    e2e_fail "expected a visible window titled '$name' within ${seconds}s; none appeared"
}

# e2e_wait_gone ID [SECONDS]: waits until window ID is no longer viewable.
e2e_window_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
e2e_wait_gone()
{
    local id=$1 seconds=${2:-$E2E_WAIT_SECONDS} i tries
    tries=$(awk -v s="$seconds" -v p="$E2E_POLL_INTERVAL" 'BEGIN { printf "%d", s / p }')
    for i in $(seq 1 "$tries"); do
        e2e_window_viewable "$id" || return 0
        sleep "$E2E_POLL_INTERVAL"
    done
    e2e_fail "expected window $id to close within ${seconds}s; it is still shown"
}

# e2e_geometry ID: "X Y W H" of the client area in root coordinates.
e2e_geometry()
{
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF }
        /^ *Height:/ { h = $NF }
        END { if (w != "") print x, y, w, h }'
}

e2e_size() { e2e_geometry "$1" | awk '{ print $3 "x" $4 }'; }

# e2e_wait_size ID WxH [SECONDS]: waits until the client area is WxH.
e2e_wait_size()
{
    local id=$1 want=$2 seconds=${3:-10} seen i tries
    tries=$(awk -v s="$seconds" -v p="$E2E_POLL_INTERVAL" 'BEGIN { printf "%d", s / p }')
    for i in $(seq 1 "$tries"); do
        seen=$(e2e_size "$id")
        [ "$seen" = "$want" ] && return 0
        sleep "$E2E_POLL_INTERVAL"
    done
    e2e_fail "expected window $id to have a client area of $want; it is $seen"
}

# The size the program asks for: a fixed-size window states it as equal
# minimum and maximum sizes in WM_NORMAL_HINTS, which the program writes on
# its own window without a round trip through the window manager.
e2e_requested_size()
{
    xprop -id "$1" WM_NORMAL_HINTS 2>/dev/null |
        awk '/minimum size:/ { print $(NF - 2) "x" $NF }'
}

# e2e_frame_extents ID: "LEFT RIGHT TOP BOTTOM" of the decoration, 0 0 0 0
# without a window manager.
e2e_frame_extents()
{
    local v
    v=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',')
    [ -n "$v" ] && echo "$v" || echo "0 0 0 0"
}

# e2e_wait_managed ID: under a window manager, waits until it has framed the
# window (so that positions and stacking are final); nothing without one.
e2e_wait_managed()
{
    [ -n "$e2e_wm_pid" ] || return 0
    e2e_wait_for 10 "the window manager to frame window $1" \
        sh -c "xprop -id '$1' _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='"
}

# e2e_click X Y: a real button-1 click at root position X,Y.
# The server handles the fake motion before the fake button, so the click
# lands at X,Y (no --sync: it waits long when the pointer is already there).
e2e_click() { xdotool mousemove "$1" "$2" click 1; }

# e2e_wait_focus ID: waits until window ID holds the keyboard focus.
e2e_wait_focus()
{
    local id=$1 i seen=""
    for i in $(seq 1 200); do
        seen=$(xdotool getwindowfocus 2>/dev/null)
        [ "$seen" = "$id" ] && return 0
        sleep "$E2E_POLL_INTERVAL"
    done
    e2e_fail "expected window $id to have the keyboard focus; window ${seen:-none} has it"
}

# e2e_copy_data SOURCE_DIR DEST_DIR FILE...: copies shipped data files.
e2e_copy_data()
{
    local src=$1 dest=$2 f
    shift 2
    for f in "$@"; do
        cp "$src/$f" "$dest/$f" || e2e_fail "cannot copy $src/$f"
    done
}
