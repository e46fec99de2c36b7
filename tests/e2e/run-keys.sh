#!/usr/bin/env bash
# run-keys.sh PROGRAM DATA_DIR XPROBE RATIO
# The real program on a private X server with two monitors, at a device pixel
# ratio of RATIO (QT_SCALE_FACTOR): while picking, on either monitor, each
# arrow key puts the real pointer on the very next physical pixel (Shift:
# ten), where the readout is, and Return picks exactly that pixel's colour.
set -u
[ $# -eq 4 ] || { echo "usage: $0 PROGRAM DATA_DIR XPROBE RATIO" >&2; exit 2; }
program=$(realpath "$1") data=$(realpath "$2") probe=$(realpath "$3") ratio=$4
# shellcheck source=../../scripts/xsession.sh
. "$(dirname "$0")/../../scripts/xsession.sh"
e2e_begin "e2e_keys_$ratio"
e2e_need Xvfb xdotool xwininfo
e2e_start_x 2304x1024
e2e_two_monitors
folder=$e2e_work/data.run && mkdir "$folder" && cp "$data/colorset.dat" "$data/websafe.rgb" "$data/set.dat" "$folder/"
cp -r "$folder" "$e2e_work/ref"
QT_SCALE_FACTOR=$ratio e2e_start_app "$folder" "$program"
e2e_wait_window Tintaro2.0
"$probe" pattern 0
# Start, at its place in the client area scaled by the ratio.
read -r mx my _ <<<"$(e2e_geometry "$e2e_window")"
e2e_click "$(awk -v m="$mx" -v r="$ratio" 'BEGIN { printf "%d", m + 162 * r }')" \
    "$(awk -v m="$my" -v r="$ratio" 'BEGIN { printf "%d", m + 61 * r }')"
pid=$(cat "$e2e_work/app.pid")
e2e_wait 20 "a picking window" eval '[ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" -ge 2 ]'
# Each monitor shows the frozen screen pixel for pixel, corners included, however
# the screen changes beneath: one window over the desktop, or one per monitor.
"$probe" pattern 0xFFFFFF
frozen() { seen=$("$probe" pixel "$1" "$2"); [ "$seen" = "$(colour_at "$1" "$2")" ]; }
for point in "0 0" "1279 1023" "640 700" "1280 0" "2303 767" "1900 400"; do
    e2e_wait 10 "the frozen screen at $point" frozen $point
done
at() { seen=$(xdotool getmouselocation | sed -E 's/x:([0-9]+) y:([0-9]+).*/\1 \2/'); [ "$seen" = "$1 $2" ]; }
# key KEY X Y: KEY puts the pointer on physical X,Y; Return there picks its colour.
key()
{
    xdotool key "$1"
    e2e_wait 10 "$1 to put the pointer on $2,$3" at "$2" "$3"
    xdotool key Return
    colour_at "$2" "$3" >>"$e2e_work/ref/mycolor.rgb"
    e2e_wait 10 "Return to pick $(colour_at "$2" "$3") at $2,$3" cmp -s "$e2e_work/ref/mycolor.rgb" "$folder/mycolor.rgb"
}
: >"$e2e_work/ref/mycolor.rgb"
xdotool mousemove 1188 925
e2e_wait 10 "the pointer on 1188,925" at 1188 925
key Right 1189 925
key Down 1189 926
key shift+Left 1179 926
key Up 1179 925
# The second monitor, across its left edge and back.
xdotool mousemove 1281 700
e2e_wait 10 "the pointer on 1281,700" at 1281 700
key Left 1280 700
key Left 1279 700
key shift+Right 1289 700
key shift+Down 1289 710
xdotool key Escape
e2e_wait 10 "Escape to end the session" eval '[ "$(xdotool search --onlyvisible --pid "$pid" | wc -l)" = 1 ]'
echo "$e2e_name: passed"
