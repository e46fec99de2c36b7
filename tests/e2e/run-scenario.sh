#!/usr/bin/env bash
# run-scenario.sh nowm|openbox PROGRAM DATA_DIR XPROBE
# The real program on a private X server, driven with xdotool and checked on the screen's own
# pixels: the refusal without set.dat, the main window, the About box, and picking sessions.
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
readonly SWAP="162 196" ABOUT="162 169" START="162 61" STOP="162 88" SWATCH="53 40" BACKGROUND="101 237"
# launch NAME: the program in a copy of the folder $e2e_work/NAME, its first window in e2e_window.
launch() { folder=$e2e_work/$1.run; cp -r "$e2e_work/$1" "$folder"; e2e_start_app "$folder" "$program"; e2e_wait_window "$TITLE"; }
# ended MIN MAX NAME: the program ends with a status from MIN to MAX, the folder as $e2e_work/NAME.
ended()
{
    e2e_wait_exit 20
    [ "$e2e_status" -ge "$1" ] && [ "$e2e_status" -le "$2" ] && [ "$(listing "$folder")" = "$(listing "$e2e_work/$3")" ] ||
        e2e_fail "expected a status from $1 to $2 and the folder as $3 ($(listing "$e2e_work/$3")), it holds $(listing "$folder")"
}
press_return() { e2e_wait 10 "window $1 to take the focus" eval "[ \"\$(xdotool getwindowfocus)\" = $1 ]"; xdotool key Return; }
above() { [ "$wm" = nowm ] || xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || e2e_fail "window $1 is not kept above others"; }

# ---- without set.dat: a message; Return ends with a failure, nothing written ----
mkdir "$e2e_work/bare" && cp "$data/colorset.dat" "$data/websafe.rgb" "$e2e_work/bare/" && cp -r "$e2e_work/bare" "$e2e_work/ref"
launch bare
xprop -id "$e2e_window" _NET_WM_WINDOW_TYPE | grep -q DIALOG || e2e_fail "expected a message box, not the main window"
press_return "$e2e_window"
ended 1 127 bare

# ---- the main window, Expand, Shrink, About ----------------------------------------
# ref holds what the data folder must hold: the data, and 200 records (more
# than a page) plus every pick.
cp "$data/set.dat" "$e2e_work/ref/"
awk 'BEGIN { for (i = 0; i < 200; ++i) printf "%02X%02X%02X", i, 255 - i, i * 7 % 256 }' >"$e2e_work/ref/mycolor.rgb"
launch ref
main=$e2e_window
e2e_wait_managed "$main"
# The client area, and the same fixed size asked of the window manager.
size_is()
{
    seen="$(e2e_size "$main") $(xprop -id "$main" WM_NORMAL_HINTS | grep -o 'm[a-z]*mum size: [0-9]* by [0-9]*' | tr '\n' ' ')"
    [ "$seen" = "$1 minimum size: ${1/x/ by } maximum size: ${1/x/ by } " ]
}
click_main() { read -r mx my _ <<<"$(e2e_geometry "$main")"; e2e_click $((mx + $1)) $((my + $2)); }
e2e_wait 10 "the shrunk main window" size_is $SHRUNK
above "$main"
click_main $SWAP
e2e_wait 10 "Expand to enlarge the window" size_is $EXPANDED
click_main $SWAP
e2e_wait 10 "Shrink to restore the window" size_is $SHRUNK
click_main $ABOUT
e2e_wait_window "About Tintaro" 10
about=$e2e_window
e2e_wait_managed "$about"
above "$about"
read -r mx my mw mh ax ay aw ah <<<"$(e2e_geometry "$main") $(e2e_geometry "$about")"
dx=$((2 * ax + aw - 2 * mx - mw)) dy=$((2 * ay + ah - 2 * my - mh))
[ ${dx#-} -le 6 ] && [ ${dy#-} -le 6 ] || e2e_fail "About box ${aw}x$ah+$ax+$ay not centred on ${mw}x$mh+$mx+$my"
press_return "$about"
e2e_wait 10 "Return to close the About box" eval "! e2e_window_viewable $about"

# ---- picking, over a root window painted so that each pixel's colour is known ----
screen_is() { seen="$("$probe" pixel "$1" "$2") at $1,$2"; [ "${seen%% *}" = "$3" ]; }
swatch_is() { read -r mx my _ <<<"$(e2e_geometry "$main")"; set -- $SWATCH "$1"; screen_is $((mx + $1)) $((my + $2)) "$3"; }
windows_are() { seen=$(xdotool search --onlyvisible --pid "$(cat "$e2e_work/app.pid")" | wc -l); [ "$seen" = "$1" ]; }
start_session() { mask=$1; "$probe" pattern "$mask"; click_main $START; e2e_wait 20 "a picking window" windows_are "${2:-2}"; }
# pick_at X Y BUTTON...: the swatch shows the colour under the pointer, and
# each click appends exactly that record to mycolor.rgb.
pick_at()
{
    local b
    last=$(colour_at "$1" "$2" "$mask")
    xdotool mousemove "$1" "$2"
    e2e_wait 10 "the swatch to show $last from $1,$2" swatch_is "$last"
    for b in "${@:3}"; do
        xdotool click "$b"
        printf '%s' "$last" >>"$e2e_work/ref/mycolor.rgb"
        e2e_wait 10 "mycolor.rgb to end with one more $last" cmp -s "$e2e_work/ref/mycolor.rgb" "$folder/mycolor.rgb"
    done
}
start_session 0
pick_at 700 517 1
pick_at 1279 1023 3
pick_at 37 900 2 2
# The image leaves the main window out: where it stood, the pattern shows.
read -r mx my _ <<<"$(e2e_geometry "$main")" && set -- $SWATCH && x=$((mx + $1)) y=$((my + $2))
xdotool windowmove "$main" 800 600
e2e_wait 10 "the pattern where the swatch stood" screen_is $x $y "$(colour_at $x $y "$mask")"
pick_at $x $y 1

# Stop ends the session: a click on the screen picks no more. Events are
# handled in order, so once Expand has worked such a pick would be written.
click_main $STOP
e2e_wait 10 "Stop to close the picking window" windows_are 1
xdotool mousemove 400 900 click 1
click_main $SWAP
e2e_wait 10 "Expand after Stop" size_is $EXPANDED
cmp -s "$e2e_work/ref/mycolor.rgb" "$folder/mycolor.rgb" || e2e_fail "a click after Stop changed mycolor.rgb"
swatch_is "$last" || e2e_fail "the swatch lost the last pick, $last, after Stop; saw $seen"

# Ctrl+K opens the contrast check beside the main window. A new session takes a new image
# (every pixel has changed) and leaves the check out of it; back above the frozen screen, with
# Background chosen, its first pair's background swatch shows the colour under the pointer.
# Closing, even during a session, ends the program and leaves the files.
xdotool windowmove "$main" 100 100
click_main $BACKGROUND
xdotool windowfocus "$main"
e2e_wait 10 "the main window to take the focus" eval "[ \"\$(xdotool getwindowfocus)\" = $main ]"
xdotool key ctrl+k
e2e_wait_window "Contrast check" 10
contrast=$e2e_window
# Ctrl+D: the colour details, beside them both, covering neither, on the screen.
xdotool windowfocus "$main"
e2e_wait 10 "the main window to take the focus again" eval "[ \"\$(xdotool getwindowfocus)\" = $main ]"
xdotool key ctrl+d
e2e_wait_window "Colour details" 10
details=$e2e_window
apart()
{
    local a b
    read -r ax ay aw ah <<<"$(e2e_geometry "$1")"
    read -r bx by bw bh <<<"$(e2e_geometry "$2")"
    [ $((ax + aw)) -le "$bx" ] || [ $((bx + bw)) -le "$ax" ] || [ $((ay + ah)) -le "$by" ] || [ $((by + bh)) -le "$ay" ]
}
read -r dx dy dw dh <<<"$(e2e_geometry "$details")"
apart "$details" "$contrast" && apart "$details" "$main" && [ $((dx + dw)) -le 1280 ] && [ $((dy + dh)) -le 1024 ] ||
    e2e_fail "the colour details at $dx,$dy ${dw}x$dh cover the contrast check or the main window, or leave the screen"
start_session 0xFFFFFF 4
pick_at 1000 800 2
read -r cx cy _ <<<"$(e2e_geometry "$contrast")"
e2e_wait 10 "the contrast check's background swatch to show $last" screen_is $((cx + 39)) $((cy + 45)) "$last"
"$probe" close "$main"
ended 0 0 ref
echo "$e2e_name: passed"
