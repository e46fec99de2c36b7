#!/usr/bin/env bash
# run-wayland.sh PROGRAM DATA_DIR one|scale2|scale1.5|two|gnome
# The real program on a headless sway (one output, at scale 2 or 1.5, or two side by side), or
# on a headless GNOME Shell (one monitor, its top bar included), showing patterns: a picking
# session covers every output with the frozen screen and no title bar, each click appends
# exactly the colour of the physical pixel under it, Escape ends it, a new session takes a new
# image.
set -u
[ $# -eq 3 ] || { echo "usage: $0 PROGRAM DATA_DIR one|scale2|scale1.5|two|gnome" >&2; exit 2; }
program=$(realpath "$1") data=$(realpath "$2") mode=$3
# The session's helpers: way_* for sway, gnome_* for GNOME, called alike through $w.
w=way
[ "$mode" != gnome ] || w=gnome
# shellcheck source=../../scripts/waysession.sh
. "$(dirname "$0")/../../scripts/${w}session.sh"
if [ "$w" = gnome ]; then e2e_begin e2e_gnome; else e2e_begin "e2e_wayland_$mode"; fi
# Pick points in layout coordinates, and the scale.
case $mode in
one | gnome) scale=1 points="700 517 1279 1023 37 900" ;;
scale2) scale=2 points="350 258 639 511 18 450" ;;
scale1.5) scale=1.5 cut=32 points="100 100 852 681 10 600" ;; # a 853 x 682 layout, shown resampled
two) scale=1 points="700 517 2559 1023 1285 3" ;;
*) e2e_fail "unknown mode '$mode' (one, scale2, scale1.5, two or gnome)" ;;
esac
if [ "$w" = gnome ]; then gnome_start; else way_start "$scale"; fi
outputs=(HEADLESS-1)
[ "$mode" != two ] || { way_add_output HEADLESS-2; way_msg output HEADLESS-2 pos 1280 0; outputs+=(HEADLESS-2); }
# The program runs as the session's user: a copy it can reach whatever the build tree's modes.
mkdir "$e2e_work/bin" && cp "$program" "$e2e_work/bin/" && program=$e2e_work/bin/$(basename "$program")

# paint MASK: each output (1280x1024 physical pixels, side by side) shows colour_at X Y MASK at physical X,Y.
paint()
{
    local o x0=0
    for o in "${outputs[@]}"; do
        way_pattern 1280 1024 $x0 0 "$1" >"$e2e_work/$o.$1.ppm" && ${w}_background $o "$e2e_work/$o.$1.ppm"
        x0=$((x0 + 1280))
    done
}
# steady: every output shows the same twice running, no longer as before the last session;
# then that is the screen before this one. shows: the top and bottom 32 rows of every output
# are as before the session (no title bar, no gap).
rows=$((32 * 1280 * 3))
# (At 1.5 the frozen screen is shown resampled, from another buffer than the screen before:
# its top rows may differ by a shade or two, its lower rows by more. Only the top rows count
# there, within two shades.)
edges() { head -c $((16 + rows)) "$1" && tail -c $rows "$1" | head -c $((rows - ${cut:-0} * 1280 * 3)); }
alike()
{
    [ "$scale" = 1.5 ] || { cmp -s "$1" "$2"; return; }
    perl -0777 -e 'my ($p, $q) = map { local @ARGV = $_; scalar <> } @ARGV; exit 1 if length $p != length $q;
        my @q = unpack "C*", $q; my $i = 0; abs($_ - $q[$i++]) <= 2 || exit 1 for unpack "C*", $p' "$1" "$2"
}
steady()
{
    local o
    for o in "${outputs[@]}"; do
        ${w}_shot $o >"$e2e_work/now.$o" && cmp -s "$e2e_work/now.$o" "$e2e_work/last.$o" &&
            ! cmp -s <(edges "$e2e_work/now.$o") <(edges "$e2e_work/before.$o" 2>/dev/null) ||
            { mv "$e2e_work/now.$o" "$e2e_work/last.$o"; seen="changing pixels on $o"; return 1; }
    done
    for o in "${outputs[@]}"; do mv "$e2e_work/now.$o" "$e2e_work/before.$o"; done
}
shows()
{
    local o
    for o in "${outputs[@]}"; do
        ${w}_shot $o >"$e2e_work/shot.ppm" || return 1
        alike <(edges "$e2e_work/shot.ppm") <(edges "$e2e_work/before.$o") || { seen="other pixels on $o"; return 1; }
    done
}
# colour_on X Y: RRGGBB of the physical pixel under the pointer at X+1/4,Y+1/4 (see way_pointer)
# in the pattern (under GNOME, in the top bar's 32 rows, the colour it was given: the pattern's
# top-left one), or at scale 1.5, where the screen shows it resampled, in the screen before the
# session (away from the main window, which the frozen image leaves out): scaled by the
# output's ratio, halves to even.
colour_on()
{
    [ "$w" != gnome ] || [ "$2" -ge 32 ] || { colour_at 0 0 "$mask"; return; }
    [ "$scale" = 1.5 ] || { colour_at $(($1 * scale)) $(($2 * scale)) "$mask"; return; }
    local o=0 w=${widths[0]}
    [ "$1" -lt "$w" ] || o=1
    perl -0777 -e 'my ($x, $y, $w) = @ARGV[1 .. 3]; $_ = do { local @ARGV = $ARGV[0]; <> };
        /^P6\s+(\d+)\s+(\d+)\s+\d+\s/g; my $r = $1 / $w; my ($px, $py) = map { sprintf "%.0f", ($_ + 0.25) * $r } $x, $y;
        printf "%02X%02X%02X", unpack "C3", substr $_, pos() + 3 * ($py * $1 + $px)' \
        "$e2e_work/before.${outputs[$o]}" $(($1 - o * w)) "$2" "$w"
}
# covered: one full-screen window of the program on each output, exactly over it.
covered()
{
    seen=$(${w}_windows "$pid" | awk '$(NF - 1) == 1 { print $NF }' | sort | tr '\n' ' ')
    [ "$seen" = "$(${w}_outputs | sort | tr '\n' ' ')" ]
}
windows_are() { seen=$(${w}_windows "$pid" | wc -l); [ "$seen" = "$1" ]; }
start_session()
{
    mask=$1 && paint "$mask"
    # The pointer (drawn into the screen here) onto Start, away from the rows compared.
    read -r mx my <<<"$(${w}_client "$pid" Tintaro2.0)" && ${w}_pointer $((mx + 162)) $((my + 61))
    e2e_wait 10 "the pattern $1 on the screen" steady
    ${w}_click $((mx + 162)) $((my + 61))
    e2e_wait 20 "a full-screen picking window on each output" covered
    e2e_wait 10 "the frozen screen on every output" shows
}
# pick_at X Y: the pointer rests near X,Y first, clear of the edges, until the floating sample
# (above the pointer, beside the pen) and the readout's swatch (below right) show the colour
# of the pixel under it: only then has the pointer surely entered that output's window. It
# comes from up left, landing where the readout was: the marks must let the pointer through
# to the image. A click at X,Y then appends exactly the colour of its physical pixel.
sample_is()
{
    seen="$(${w}_pixel $(($1 + 11)) $(($2 - 28))) $(${w}_pixel $(($1 + 21)) $(($2 + 21)))"
    [ "$seen" = "$(colour_on "$1" "$2" | sed 's/.*/& &/')" ]
}
pick_at()
{
    local ow=${widths[0]} h=$(${w}_outputs | head -n 1 | cut -d, -f4) x=$1 y=$2
    [ $((x % ow)) -lt $((ow - 140)) ] || x=$((x - 140))
    [ "$y" -ge 40 ] || y=40
    [ "$y" -lt $((h - 70)) ] || y=$((h - 70))
    # Each poll moves the pointer anew: a move made while sway maps a window may be lost.
    e2e_wait 10 "the floating sample to show the colour under $x,$y" eval \
        "${w}_pointer $((x > 30 ? x - 30 : 0)) $((y - 30)) && ${w}_pointer $x $y && sample_is $x $y"
    ${w}_click "$1" "$2"
    appended "$(colour_on "$1" "$2")" "$1,$2"
}
appended()
{
    printf '%s' "$1" >>"$e2e_work/ref/mycolor.rgb"
    e2e_wait 10 "mycolor.rgb to end with one more $1 from $2" eval \
        'seen=$(tail -c 18 "$folder/mycolor.rgb"); cmp -s "$e2e_work/ref/mycolor.rgb" "$folder/mycolor.rgb"'
}
# square_of RRGGBB PPM: the image holds a square of exactly 8 by 8 pixels of that colour.
square_of()
{
    perl -0777 -e 'my $c = pack "H6", $ARGV[0]; my $d = do { local @ARGV = $ARGV[1]; <> };
        $d =~ /^P6\s+(\d+)\s+(\d+)\s+\d+\s/g or exit 1; my ($w, $at) = ($1, pos($d));
        my $row = $c x 8; my $i = $at;
        while (($i = index($d, $row, $i)) >= 0) {
            # Eight rows of eight, and no more either way: the floating sample is larger.
            if (($i - $at) % 3 == 0 && !grep { substr($d, $i + 3 * $w * $_, 24) ne $row } 1 .. 7
                and substr($d, $i + 24, 3) ne $c and substr($d, $i + 24 * $w, 3) ne $c
                and substr($d, $i - 3, 3) ne $c and substr($d, $i - 3 * $w, 3) ne $c) { exit 0 }
            $i += 3;
        }
        exit 1' "$1" "$2"
}
# keys_from X Y (the pointer there, at a whole scale): Right, Down and Down move a cross-hair
# over the image by physical pixels, as the pointer may not be moved; its arms are black over a
# light pixel and white over a dark one; Return picks the pixel it marks.
keys_from()
{
    local cx=$(($1 * scale + 1)) cy=$(($2 * scale + 2)) k
    for k in Right Down Down; do ${w}_key -k $k; done
    e2e_wait 10 "the cross-hair's arm at physical $((cx + 3)),$cy" eval \
        'seen=$(${w}_pixel $(((cx + 3) / scale)) $((cy / scale))); [ "$seen" = 000000 ] || [ "$seen" = FFFFFF ]'
    # Z: the loupe shows that pixel as a square of 8 by 8 physical pixels (the pattern has no
    # two alike side by side), where the keys left it.
    ${w}_key -k z
    local o=0
    [ "$1" -lt "${widths[0]}" ] || o=1
    e2e_wait 10 "the loupe to show $(colour_at $cx $cy "$mask") as a square of 8" eval \
        '${w}_shot ${outputs[$o]} >"$e2e_work/shot.ppm" && square_of "$(colour_at $cx $cy "$mask")" "$e2e_work/shot.ppm"'
    ${w}_key -k Return
    appended "$(colour_at $cx $cy "$mask")" "the keys at physical $cx,$cy"
}

mkdir "$e2e_work/ref" && cp "$data/colorset.dat" "$data/websafe.rgb" "$data/set.dat" "$e2e_work/ref/"
printf '0A0B0C112233' >"$e2e_work/ref/mycolor.rgb"
folder=$e2e_work/run.data && cp -r "$e2e_work/ref" "$folder"
way_start_app "$folder" "$program"
pid=$(cat "$e2e_work/app.pid")
read -ra widths <<<"$(${w}_outputs | cut -d, -f3 | tr '\n' ' ')"
e2e_wait 20 "the main window" eval 'seen=$(${w}_client "$pid" Tintaro2.0); [ -n "$seen" ]'
start_session 0
# shellcheck disable=SC2086
set -- $points
while [ $# -ge 2 ]; do pick_at "$1" "$2"; lx=$1 ly=$2; shift 2; done
[ "$scale" = 1.5 ] || keys_from "$lx" "$ly"
${w}_key -k Escape
e2e_wait 10 "Escape to close the picking windows" windows_are 1
# A new session takes a new image; closing the program during it keeps the records.
start_session 0xFFFFFF
paint 0 # the live screen changes beneath: the frozen one stays
pick_at 20 30
# The pointer and the marks away from the rows compared.
${w}_pointer $((mx + 162)) $((my + 61))
e2e_wait 10 "the frozen screen on every output, not the live one" shows
${w}_close "$pid"
e2e_wait_exit 20
[ "$e2e_status" = 0 ] && [ "$(listing "$folder")" = "$(listing "$e2e_work/ref")" ] ||
    e2e_fail "expected status 0 and the folder as ref ($(listing "$e2e_work/ref")), status $e2e_status, it holds $(listing "$folder")"

# tintaro --pick on the compositor: the frozen screen at once, with the loupe; a click prints
# its physical pixel, and no file appears.
if [ "$w" = way ] && [ "$scale" != 1.5 ]; then
    mask=0 && paint 0
    mkdir "$e2e_work/empty"
    way_start_app "$e2e_work/empty" "$program" --pick
    pid=$(cat "$e2e_work/app.pid")
    e2e_wait 20 "a full-screen picking window of --pick on each output" covered
    e2e_wait 10 "the floating sample of --pick to show the colour under 300,200" eval \
        '${w}_pointer 270 170 && ${w}_pointer 300 200 && seen=$(${w}_pixel 311 172) && [ "$seen" = "$(colour_on 300 200)" ]'
    ${w}_click 300 200
    e2e_wait_exit 10
    seen=$(grep '^#' "$e2e_work/app.log")
    [ "$e2e_status" = 0 ] && [ "$seen" = "#$(colour_on 300 200)" ] && [ -z "$(ls -A "$e2e_work/empty")" ] ||
        e2e_fail "--pick: expected status 0 and #$(colour_on 300 200), got $e2e_status and '$seen'"
fi
echo "$e2e_name: passed"
