#!/usr/bin/env bash
# run-wayland.sh PROGRAM DATA_DIR one|scale2|two
# The real program on a headless sway (one output, at scale 2, or two side by side) showing known
# patterns: a picking session covers every output with the frozen image and no title bar, each
# click appends exactly the colour under it, Escape ends it, a new session takes a new image.
set -u
[ $# -eq 3 ] || { echo "usage: $0 PROGRAM DATA_DIR one|scale2|two" >&2; exit 2; }
program=$(realpath "$1") data=$(realpath "$2") mode=$3
# shellcheck source=../../scripts/waysession.sh
. "$(dirname "$0")/../../scripts/waysession.sh"
e2e_begin "e2e_wayland_$mode"
# Pick points in layout coordinates, and the scale.
case $mode in
one) scale=1 points="700 517 1279 1023 37 900" ;;
scale2) scale=2 points="350 258 639 511 18 450" ;;
two) scale=1 points="700 517 2559 1023 1285 3" ;;
*) e2e_fail "unknown mode '$mode' (one, scale2 or two)" ;;
esac
way_start "$scale"
outputs=(HEADLESS-1)
[ "$mode" != two ] || { way_add_output HEADLESS-2; way_msg output HEADLESS-2 pos 1280 0; outputs+=(HEADLESS-2); }
# The program runs as the session's user: a copy it can reach whatever the build tree's modes.
mkdir "$e2e_work/bin" && cp "$program" "$e2e_work/bin/" && program=$e2e_work/bin/$(basename "$program")

# paint MASK: each output (1280x1024 physical pixels, side by side) shows colour_at X Y MASK at physical X,Y.
paint()
{
    local o x0=0
    for o in "${outputs[@]}"; do
        way_pattern 1280 1024 $x0 0 "$1" >"$e2e_work/$o.$1.ppm" && way_background $o "$e2e_work/$o.$1.ppm"
        x0=$((x0 + 1280))
    done
}
# shows MASK: the top and bottom 32 rows of every output are the pattern (no title bar, no gap).
rows=$((32 * 1280 * 3))
edges() { head -c $((16 + rows)) "$1" && tail -c $rows "$1"; }
shows()
{
    local o
    for o in "${outputs[@]}"; do
        way_shot $o >"$e2e_work/shot.ppm" || return 1
        cmp -s <(edges "$e2e_work/shot.ppm") <(edges "$e2e_work/$o.$1.ppm") || { seen="other pixels on $o"; return 1; }
    done
}
listing() { (cd "$1" && cksum -- * | sort -k3); }
# covered: one full-screen window of the program on each output, exactly over it.
covered()
{
    seen=$(way_windows "$pid" | awk '$(NF - 1) == 1 { print $NF }' | sort | tr '\n' ' ')
    [ "$seen" = "$(way_run swaymsg -t get_outputs | jq -r '.[].rect | "\(.x),\(.y),\(.width),\(.height)"' | sort | tr '\n' ' ')" ]
}
windows_are() { seen=$(way_windows "$pid" | wc -l); [ "$seen" = "$1" ]; }
start_session()
{
    mask=$1 && paint "$mask"
    # The pointer (drawn into the screen here) onto Start, away from the rows compared.
    read -r mx my <<<"$(way_client "$pid" Tintaro2.0)" && way_pointer $((mx + 162)) $((my + 61))
    e2e_wait 10 "the pattern $mask around the main window" shows "$mask"
    way_click $((mx + 162)) $((my + 61))
    e2e_wait 20 "a full-screen picking window on each output" covered
    e2e_wait 10 "the frozen pattern $mask on every output" shows "$mask"
}
# pick_at X Y: the pointer rests near X,Y first, clear of the edges, until the floating sample
# (above the pointer, beside the pen) and the readout's swatch (below right) show the colour
# of the pixel under it: only then has the pointer surely entered that output's window. A
# click at X,Y then appends exactly the colour of its physical pixel.
sample_is()
{
    seen="$(way_pixel $(($1 + 11)) $(($2 - 28))) $(way_pixel $(($1 + 21)) $(($2 + 21)))"
    [ "$seen" = "$(colour_at $(($1 * scale)) $(($2 * scale)) "$mask" | sed 's/.*/& &/')" ]
}
pick_at()
{
    local w=$((1280 / scale)) h=$((1024 / scale)) x=$1 y=$2
    [ $((x % w)) -lt $((w - 140)) ] || x=$((x - 140))
    [ "$y" -ge 40 ] || y=40
    [ "$y" -lt $((h - 70)) ] || y=$((h - 70))
    # Each poll moves the pointer anew: a move made while sway maps a window may be lost.
    e2e_wait 10 "the floating sample to show the colour under $x,$y" eval \
        "way_pointer $((x - 1)) $y && way_pointer $x $y && sample_is $x $y"
    last=$(colour_at $(($1 * scale)) $(($2 * scale)) "$mask")
    way_click "$1" "$2"
    printf '%s' "$last" >>"$e2e_work/ref/mycolor.rgb"
    e2e_wait 10 "mycolor.rgb to end with one more $last from $1,$2" eval \
        'seen=$(tail -c 18 "$folder/mycolor.rgb"); cmp -s "$e2e_work/ref/mycolor.rgb" "$folder/mycolor.rgb"'
}

mkdir "$e2e_work/ref" && cp "$data/colorset.dat" "$data/websafe.rgb" "$data/set.dat" "$e2e_work/ref/"
printf '0A0B0C112233' >"$e2e_work/ref/mycolor.rgb"
folder=$e2e_work/run.data && cp -r "$e2e_work/ref" "$folder"
way_start_app "$folder" "$program"
pid=$(cat "$e2e_work/app.pid")
e2e_wait 20 "the main window" eval 'seen=$(way_windows "$pid"); [ -n "$seen" ]'
start_session 0
# shellcheck disable=SC2086
set -- $points
while [ $# -ge 2 ]; do pick_at "$1" "$2"; shift 2; done
way_key -k Escape
e2e_wait 10 "Escape to close the picking windows" windows_are 1
# A new session takes a new image; closing the program during it keeps the records.
start_session 0xFFFFFF
pick_at 20 30
way_msg "[pid=$pid] kill"
e2e_wait_exit 20
[ "$e2e_status" = 0 ] && [ "$(listing "$folder")" = "$(listing "$e2e_work/ref")" ] ||
    e2e_fail "expected status 0 and the folder as ref ($(listing "$e2e_work/ref")), status $e2e_status, it holds $(listing "$folder")"
echo "$e2e_name: passed"
