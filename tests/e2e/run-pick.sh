#!/usr/bin/env bash
# run-pick.sh nowm|openbox PROGRAM XPROBE RATIO
# tintaro --pick on a private X server at a device pixel ratio of RATIO: a click,
# or Return, prints exactly the physical pixel under the pointer, in the form
# asked for; Escape and a right click print nothing and end with 2; no file is
# read or written, and no main window opens; --copy leaves the text on the clipboard.
set -u
[ $# -eq 4 ] || { echo "usage: $0 nowm|openbox PROGRAM XPROBE RATIO" >&2; exit 2; }
wm=$1 program=$(realpath "$2") probe=$(realpath "$3") ratio=$4
# shellcheck source=../../scripts/xsession.sh
. "$(dirname "$0")/../../scripts/xsession.sh"
e2e_begin "e2e_pick_${wm}_$ratio"
e2e_need Xvfb xdotool xwininfo xclip
e2e_start_x
e2e_start_wm "$wm"
"$probe" pattern 0
folder=$e2e_work/empty && mkdir "$folder"
pointer_at() { [ "$(xdotool getmouselocation | sed -E 's/x:([0-9]+) y:([0-9]+).*/\1 \2/')" = "$1 $2" ]; }

# pick EXPECTED-STATUS EXPECTED-OUTPUT X Y ACTION [OPTION...]: the pointer on
# physical X,Y once the screen is frozen, then ACTION (xdotool words).
pick()
{
    local status=$1 want=$2 x=$3 y=$4 action=$5
    shift 5
    QT_SCALE_FACTOR=$ratio e2e_start_app "$folder" "$program" --pick "$@"
    local pid
    pid=$(cat "$e2e_work/app.pid")
    e2e_wait 10 "the frozen screen of --pick $*" eval '[ -n "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null)" ]'
    ! xdotool search --onlyvisible --name '^Tintaro2.0$' >/dev/null 2>&1 || e2e_fail "--pick opened the main window"
    # Moved there from a neighbour, so that a movement arrives.
    local nx=$((x > 5 ? x - 5 : x + 5)) ny=$((y > 5 ? y - 5 : y + 5))
    xdotool mousemove "$nx" "$ny"
    e2e_wait 10 "the pointer on $nx,$ny" pointer_at "$nx" "$ny"
    xdotool mousemove "$x" "$y"
    e2e_wait 10 "the pointer on $x,$y" pointer_at "$x" "$y"
    # shellcheck disable=SC2086 # the action is several xdotool words
    xdotool $action
    e2e_wait_exit 10
    local out
    out=$(grep -v '^QStandardPaths' "$e2e_work/app.log")
    [ "$e2e_status" = "$status" ] && [ "$out" = "$want" ] ||
        e2e_fail "--pick $* then '$action' at $x,$y: expected status $status and '$want', got $e2e_status and '$out'"
    [ -z "$(ls -A "$folder")" ] || e2e_fail "--pick left files: $(ls -A "$folder")"
}

pick 0 "#$(colour_at 301 203)" 301 203 "click 1"
pick 0 "#$(colour_at 1279 0)" 1279 0 "click 1"
rgb() { local c; c=$(colour_at "$1" "$2"); printf 'rgb(%d %d %d)' "0x${c:0:2}" "0x${c:2:2}" "0x${c:4:2}"; }
pick 0 "$(rgb 517 999)" 517 999 "key Return" --format rgb
pick 2 "" 40 40 "key Escape"
pick 2 "" 40 40 "click 3" --format hex
# --copy: the text stays on the clipboard once the program has ended, until another
# program copies something.
pick 0 "#$(colour_at 64 32)" 64 32 "click 1" --copy
[ "$(xclip -o -selection clipboard)" = "#$(colour_at 64 32)" ] || e2e_fail "--pick --copy left no colour on the clipboard"
printf other | xclip -selection clipboard
# (The keepers of this display only: other tests may run one.)
keeper_here() { local p; for p in $(pgrep -x -f -- "$program --keep-clipboard"); do
    grep -qzx "DISPLAY=$DISPLAY" "/proc/$p/environ" 2>/dev/null && return 0; done; return 1; }
e2e_wait 5 "the clipboard's keeper to end" eval '! keeper_here'
echo "$e2e_name: passed"
