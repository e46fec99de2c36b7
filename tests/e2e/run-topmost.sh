#!/usr/bin/env bash
# run-topmost.sh nowm|openbox|metacity PROGRAM DATA_DIR XPROBE [RATIO]
# Twenty picking sessions on two monitors, each after something that upsets
# the window's stacking: Minimum, Help or the logo and a restore, a move to
# the second monitor, a click, another window raised above it. In every one
# the main window shows above the frozen image (its swatch follows the
# pointer) and its "Stop picking" ends the session without a pick. At a
# RATIO other than 1 (QT_SCALE_FACTOR) each monitor has a picking window.
set -u
[ $# -eq 4 ] || [ $# -eq 5 ] || { echo "usage: $0 nowm|openbox|metacity PROGRAM DATA_DIR XPROBE [RATIO]" >&2; exit 2; }
wm=$1 program=$(realpath "$2") data=$(realpath "$3") probe=$(realpath "$4") ratio=${5:-1}
# shellcheck source=../../scripts/xsession.sh
. "$(dirname "$0")/../../scripts/xsession.sh"
e2e_begin "e2e_topmost_${wm}_$ratio"
e2e_need Xvfb xdotool xwininfo xprop xmessage
e2e_start_x 2304x1024
e2e_two_monitors
# Painted before the window manager starts: metacity keeps a root background
# set before it, but shows none set after it.
"$probe" pattern 0
e2e_start_wm "$wm"

# Centres of controls in the main window's client area.
readonly START="162 61" STOP="162 88" MINIMUM="162 115" HELP="162 142" LOGO="130 20" SWATCH="53 40"
# Help and the logo open their page through xdg-open: this one notes it down.
mkdir "$e2e_work/bin"
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$e2e_work/opened" >"$e2e_work/bin/xdg-open"
chmod +x "$e2e_work/bin/xdg-open"
folder=$e2e_work/data.run && mkdir "$folder" && cp "$data/colorset.dat" "$data/websafe.rgb" "$data/set.dat" "$folder/"
cp -r "$folder" "$e2e_work/ref" && : >"$e2e_work/ref/mycolor.rgb"
PATH=$e2e_work/bin:$PATH BROWSER='' DEFAULT_BROWSER='' QT_SCALE_FACTOR=$ratio e2e_start_app "$folder" "$program"
e2e_wait_window Tintaro2.0
main=$e2e_window pid=$(cat "$e2e_work/app.pid")
e2e_wait_managed "$main"

# at X Y: the point X,Y of the main window's client area, in physical pixels.
at() { read -r mx my _ <<<"$(e2e_geometry "$main")" && awk -v x="$1" -v y="$2" -v r="$ratio" -v mx="$mx" -v my="$my" 'BEGIN { printf "%d %d", mx + x * r, my + y * r }'; }
click_main() { e2e_click $(at "$1" "$2"); }
# press X Y DESCRIPTION COMMAND...: clicks the main window at X,Y until COMMAND
# holds, a few times: under load a click can be lost while the window manager
# is busy with the window. Clicked again, each control here does no harm.
press()
{
    local x=$1 y=$2 what=$3 try i
    shift 3
    for try in 1 2 3 4 5; do
        click_main "$x" "$y"
        for i in $(seq 60); do "$@" && return 0; sleep $E2E_POLL_INTERVAL; done
    done
    e2e_fail "session $session: waited for $what"
}
windows_are() { seen=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l); [ "$seen" = "$1" ]; }
# The main window and one picking window, or one per monitor.
pick_windows() { if [ "$ratio" = 1 ]; then windows_are 2; else windows_are 3; fi; }
swatch_is() { seen="$("$probe" pixel $(at $SWATCH))"; [ "$seen" = "$1" ]; }
# Minimised where a window manager does it, then brought back as a task bar would.
minimised() { [ "$wm" = nowm ] || ! e2e_window_viewable "$main"; }
minimised_and_back()
{
    [ "$wm" = nowm ] && return 0
    xdotool windowactivate "$main"
    # Back where it was (some managers animate it there), with the focus: a
    # click any earlier can be lost.
    e2e_wait 10 "the main window to come back to $before with the focus" \
        eval "[ \"\$(e2e_geometry $main)\" = \"$before\" ] && [ \"\$(xdotool getwindowfocus)\" = $main ]"
}
opened()
{
    local before=$1 page=$2
    e2e_wait 10 "session $session: $page to be opened" eval "[ \"\$(sed -n '\$p' '$e2e_work/opened' 2>/dev/null)\" = '$page' ] && [ \$(wc -l <'$e2e_work/opened') -gt $before ]"
}
cover_pid=""
upset()
{
    before=$(e2e_geometry "$main")
    case $1 in
    0) ;; # the last session's Stop was the last click
    1) press $MINIMUM "Minimum to minimise the window" minimised && minimised_and_back ;;
    2)
        local n=$(cat "$e2e_work/opened" 2>/dev/null | wc -l)
        press $HELP "Help to minimise the window" minimised && opened "$n" "file://$folder/help.htm" &&
            minimised_and_back
        ;;
    3)
        local n=$(cat "$e2e_work/opened" 2>/dev/null | wc -l)
        press $LOGO "the logo to minimise the window" minimised && opened "$n" https://tintaro.org &&
            minimised_and_back
        ;;
    4) xdotool windowmove "$main" $((1280 + 100 + RANDOM % 300)) $((50 + RANDOM % 200)) ;;
    5) click_main $SWATCH ;;
    6)
        # Over the swatch, but not over Start, which is clicked next.
        read -r mx my _ <<<"$(e2e_geometry "$main")"
        xmessage -geometry "$(awk -v r="$ratio" 'BEGIN { printf "%dx%d", 120 * r, 300 * r }')+$((mx - 20))+$((my - 20))" cover &
        cover_pid=$!
        e2e_wait_window xmessage 10
        xdotool windowraise "$e2e_window"
        [ "$wm" = nowm ] || xdotool windowactivate "$e2e_window"
        ;;
    esac
}

for session in $(seq 20); do
    upset $((session % 7))
    press $START "a picking window" pick_windows
    # A point whose colour the swatch shows only if the main window is seen.
    read -r mx my _ <<<"$(e2e_geometry "$main")"
    x=$(((mx + 700) % 2304)) y=$(((my + 300) % 768))
    xdotool mousemove $x $y
    e2e_wait 10 "session $session: the main window's swatch to show $(colour_at $x $y) from $x,$y" swatch_is "$(colour_at $x $y)"
    press $STOP "Stop to end the session" windows_are 1
    [ -z "$cover_pid" ] || e2e_stop_pid "$cover_pid"
    cover_pid=""
done
[ "$(listing "$folder")" = "$(listing "$e2e_work/ref")" ] || e2e_fail "the sessions changed the data folder: $(listing "$folder")"
echo "$e2e_name: passed"
