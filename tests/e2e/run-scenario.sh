#!/usr/bin/env bash
# run-scenario.sh nowm|openbox PROGRAM DATA_DIR XPROBE
# The real program on a private X server, driven with xdotool and checked on
# the screen's own pixels: without set.dat it refuses to start; with it the
# main window appears, Expand/Shrink resize it, a picking session appends
# the colour under the pointer to mycolor.rgb on every click, Stop ends it,
# a new session takes a new image, and closing ends with status 0.
set -u
[ $# -eq 4 ] || { echo "usage: $0 nowm|openbox PROGRAM DATA_DIR XPROBE" >&2; exit 2; }
wm=$1 program=$(realpath "$2") data=$(realpath "$3") probe=$(realpath "$4")
# shellcheck source=../../scripts/xsession.sh
. "$(dirname "$0")/../../scripts/xsession.sh"
e2e_begin "e2e_$wm"
e2e_need Xvfb xdotool xwininfo xprop
e2e_start_x
e2e_start_wm "$wm"

readonly TITLE=Tintaro2.0 SHRUNK=221x215 EXPANDED=486x405
# Centres of controls in the main window's client area.
readonly SWAP="162 196" ABOUT="162 169" START="162 61" STOP="162 88" SWATCH="53 40"
listing() { (cd "$1" && cksum -- * | sort -k3); }
focused() { seen=$(xdotool getwindowfocus); [ "$seen" = "$1" ]; }

# ---- without set.dat: a message; Return ends with a failure, nothing written ----
folder=$(mktemp -d "$e2e_work/f.XXXXXX")
cp "$data/colorset.dat" "$data/websafe.rgb" "$folder/"
before=$(listing "$folder")
e2e_start_app "$folder" "$program"
e2e_wait_window "$TITLE"
xprop -id "$e2e_window" _NET_WM_WINDOW_TYPE | grep -q DIALOG || e2e_fail "expected a message box, not the main window"
e2e_wait 10 "the message to take the focus" focused "$e2e_window"
xdotool key Return
e2e_wait_exit 20
[ "$e2e_status" -gt 0 ] && [ "$e2e_status" -lt 128 ] && [ "$(listing "$folder")" = "$before" ] ||
    e2e_fail "expected a failure status (saw $e2e_status) and the folder as it was: $(listing "$folder")"

# ---- start-up, Expand and Shrink ------------------------------------------------
# ref holds what the data folder must hold: the data as copied, and the 200
# records (more than a page) plus every pick.
folder=$(mktemp -d "$e2e_work/f.XXXXXX") ref=$e2e_work/ref
cp "$data/set.dat" "$data/colorset.dat" "$data/websafe.rgb" "$folder/"
awk 'BEGIN { for (i = 0; i < 200; ++i) printf "%02X%02X%02X", i, 255 - i, i * 7 % 256 }' >"$folder/mycolor.rgb"
cp -r "$folder" "$ref"
e2e_start_app "$folder" "$program"
e2e_wait_window "$TITLE"
main=$e2e_window
e2e_wait_managed "$main"

# The client area, and the same fixed size asked of the window manager.
size_is()
{
    seen="$(e2e_size "$main") $(xprop -id "$main" WM_NORMAL_HINTS | grep -o 'm[a-z]*mum size: [0-9]* by [0-9]*' | tr '\n' ' ')"
    [ "$seen" = "$1 minimum size: ${1/x/ by } maximum size: ${1/x/ by } " ]
}
# click_main X Y: a click at X,Y of the main window's client area.
click_main() { read -r mx my _ <<<"$(e2e_geometry "$main")"; e2e_click $((mx + $1)) $((my + $2)); }

e2e_wait 10 "the shrunk main window" size_is $SHRUNK
[ "$wm" = nowm ] || xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE ||
    e2e_fail "the main window is not kept above other windows"
click_main $SWAP
e2e_wait 10 "Expand to enlarge the window" size_is $EXPANDED
click_main $SWAP
e2e_wait 10 "Shrink to restore the window" size_is $SHRUNK
# The About box opens above and centred on the main window; Return closes it.
click_main $ABOUT
e2e_wait_window "About Tintaro" 10
about=$e2e_window
e2e_wait_managed "$about"
[ "$wm" = nowm ] || xprop -id "$about" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE ||
    e2e_fail "the About box is not kept above the main window"
read -r mx my mw mh <<<"$(e2e_geometry "$main")"
read -r ax ay aw ah <<<"$(e2e_geometry "$about")"
dx=$((2 * ax + aw - 2 * mx - mw)) dy=$((2 * ay + ah - 2 * my - mh))
[ ${dx#-} -le 6 ] && [ ${dy#-} -le 6 ] || e2e_fail "About box ${aw}x$ah+$ax+$ay not centred on ${mw}x$mh+$mx+$my"
e2e_wait 10 "the About box to take the focus" focused "$about"
xdotool key Return
e2e_wait 10 "Return to close the About box" eval "! e2e_window_viewable $about"

# ---- picking ----------------------------------------------------------------------
colour_at() { printf '%06X' $(((($1 & 255) << 16 | ($2 & 255) << 8 | $1 >> 8 | ($2 >> 8) << 4) ^ mask)); }
screen_is() { seen="$("$probe" pixel "$1" "$2") at $1,$2"; [ "${seen%% *}" = "$3" ]; }
swatch_xy() { read -r mx my _ <<<"$(e2e_geometry "$main")"; set -- $SWATCH; x=$((mx + $1)) y=$((my + $2)); }
swatch_is() { swatch_xy; screen_is $x $y "$1"; }
# show_pattern MASK: every pixel of the screen, under all windows, a known colour.
show_pattern()
{
    mask=$1
    [ -z "${pattern_pid:-}" ] || e2e_stop_pid "$pattern_pid"
    "$probe" pattern "$mask" >"$e2e_work/pattern.out" 2>&1 &
    pattern_pid=$!
    e2e_extra_pids+=("$pattern_pid")
    e2e_wait 10 "the screen pattern" screen_is 5 1010 "$(colour_at 5 1010)"
}
pick_window()
{
    for pick in $(xdotool search --onlyvisible --pid "$(cat "$e2e_work/app.pid")"); do [ "$(e2e_geometry "$pick")" = "0 0 1280 1024" ] && return 0; done
    return 1
}
start_session()
{
    click_main $START
    e2e_wait 20 "a picking window over the whole screen" pick_window
    e2e_wait 10 "the main window over the picking window" e2e_window_viewable "$main"
}
grown_to() { seen="$(wc -c <"$folder/mycolor.rgb") bytes"; [ "${seen% *}" -ge "$1" ]; }
# pick_at X Y BUTTON [CLICKS]: the swatch shows the colour under the pointer,
# and each click appends it to mycolor.rgb.
pick_at()
{
    local colour size i
    colour=$(colour_at "$1" "$2") last=$colour
    xdotool mousemove "$1" "$2"
    e2e_wait 10 "the swatch to show $colour from $1,$2" swatch_is "$colour"
    for i in $(seq "${4:-1}"); do
        size=$(wc -c <"$folder/mycolor.rgb")
        xdotool click "$3"
        e2e_wait 10 "a pick of $colour" grown_to $((size + 6))
        printf '%s' "$colour" >>"$ref/mycolor.rgb"
        cmp -s "$ref/mycolor.rgb" "$folder/mycolor.rgb" || e2e_fail "mycolor.rgb ends $(tail -c 24 "$folder/mycolor.rgb")"
    done
}

show_pattern 0
start_session
pick_at 700 517 1
pick_at 1279 1023 3
pick_at 37 900 2 2
# The image leaves the main window out: where it stood, the pattern shows.
swatch_xy
xdotool windowmove "$main" 800 600
e2e_wait 10 "the pattern where the main window stood" screen_is $x $y "$(colour_at $x $y)"
pick_at $x $y 1

# Stop ends the session: a click on the screen picks no more. Events are
# handled in order, so once Expand has worked such a pick would be written.
click_main $STOP
e2e_wait 10 "Stop to close the picking window" eval "! e2e_window_viewable $pick"
xdotool mousemove 400 900 click 1
click_main $SWAP
e2e_wait 10 "Expand after Stop" size_is $EXPANDED
cmp -s "$ref/mycolor.rgb" "$folder/mycolor.rgb" || e2e_fail "a click after Stop changed mycolor.rgb"
swatch_is "$last" || e2e_fail "expected the swatch to keep the last pick, $last, after Stop; saw $seen"

# A new session takes a new image: every pixel has changed.
show_pattern 0xFFFFFF
start_session
pick_at 300 300 2

# Closing, even during a session, ends the program and leaves the files.
"$probe" close "$main"
e2e_wait_exit 20
[ "$e2e_status" = 0 ] || e2e_fail "expected status 0 after closing, saw $e2e_status"
[ "$(listing "$folder")" = "$(listing "$ref")" ] || e2e_fail "expected the folder to hold $(listing "$ref"), it holds $(listing "$folder")"
echo "$e2e_name: passed"
