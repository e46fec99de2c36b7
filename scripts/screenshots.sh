#!/usr/bin/env bash
# Makes the README's pictures: docs/shrunk.png, docs/expanded.png and
# docs/picking.png, each the program's window (with its frame and a small
# margin of the screen around it) on a private X server (Xvfb) with a
# colourful background, a window manager (openbox), and a temporary data
# folder holding some picked colours.
#
#   ./scripts/screenshots.sh
#
# Builds the program as ./scripts/run.sh does (build/release). Needs the
# Debian packages xvfb, xdotool, openbox, x11-utils and imagemagick;
# installs the missing ones first. Every wait polls what the X server
# shows, with a time limit.
set -u

# shellcheck source=setup.sh
. "$(dirname "$0")/setup.sh"
# shellcheck source=xsession.sh
. "$TINTARO_ROOT/scripts/xsession.sh"

# shellcheck disable=SC2086
ensure_packages $TINTARO_RUN_PACKAGES xvfb xauth xdotool openbox x11-utils imagemagick || {
    echo "screenshots.sh: cannot install the Debian packages it needs" >&2
    exit 1
}
configure_and_build "$TINTARO_ROOT/build/release" Release -DBUILD_TESTING=OFF ||
    { echo "screenshots.sh: the build failed" >&2; exit 1; }
launcher=$TINTARO_ROOT/build/release/tintaro-launcher
docs=$TINTARO_ROOT/docs
mkdir -p "$docs"

readonly MAIN_TITLE="Tintaro2.0"
readonly SCREEN_W=1280 SCREEN_H=1024        # as e2e_start_x makes the screen
readonly SHRUNK=221x215 EXPANDED=486x405    # client areas
readonly MARGIN=16                          # screen shown round the frame
# Places in the main window's client area, in pixels.
readonly CMDSWAP_X=162 CMDSWAP_Y=196        # "Expand>>" / "Shrink<<"
readonly CMDSTART_X=162 CMDSTART_Y=61       # "Start to pick color"
readonly LBLCOLOR_X=53 LBLCOLOR_Y=40        # the current colour's swatch
readonly LIST_FIRST_X=430 LIST_FIRST_Y=13   # first entry of the colour sets
readonly SAMPLE_X=300 SAMPLE_Y=30           # the sample page's background
readonly OPTBG_X=70 OPTBG_Y=237             # the target "Background"
# Swatch i of the grid stands in column i / 8 and row i % 8.
swatch_x() { echo $(((2016 + ($1 / 8) * 299) / 15 + 10)); }
swatch_y() { echo $(((3876 + ($1 % 8) * 224) / 15 + 7)); }

e2e_begin "screenshots"
e2e_need Xvfb xdotool xwininfo xprop openbox import convert display

# pixel X Y: the screen's colour at root X,Y as RRGGBB.
pixel()
{
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -n 1 | tr 'a-f' 'A-F'
}

# ---- the screen ----------------------------------------------------------
e2e_start_x
e2e_start_wm openbox
# A soft four-colour gradient with a few bright shapes, as the root
# window's background.
convert -size "${SCREEN_W}x${SCREEN_H}" xc: \
    -sparse-color Bilinear "0,0 #F8B195 $((SCREEN_W - 1)),0 #F67280 0,$((SCREEN_H - 1)) #6C5B7B $((SCREEN_W - 1)),$((SCREEN_H - 1)) #355C7D" \
    -fill '#FFD166' -draw 'circle 930,330 1030,330' \
    -fill '#06D6A0' -draw 'roundrectangle 780,520 1010,700 24,24' \
    -fill '#118AB2' -draw 'circle 1120,620 1175,620' \
    -fill '#EF476F' -draw 'rectangle 700,180 760,430' \
    "$e2e_work/background.png" || e2e_fail "convert could not make the background"
# display sets the root window's background and ends; its exit status is
# not to be trusted, what the screen shows is.
display -window root "$e2e_work/background.png" >/dev/null 2>&1
background_shown() { seen=$(pixel 930 330); [ "$seen" = FFD166 ]; }
e2e_wait 10 "the background to show" background_shown

# ---- the program, with some picked colours -------------------------------
sh "$launcher" --prepare-only || e2e_fail "the launcher could not prepare the data folder"
datadir=$XDG_DATA_HOME/tintaro
# Ninety colours round the colour wheel, lighter and darker in turn.
awk 'BEGIN {
    for (i = 0; i < 90; i++) {
        h = (i * 37 % 360) / 60; s = 0.55 + (i % 3) * 0.2; v = 0.95 - (i % 4) * 0.12
        t = h - 2 * int(h / 2) - 1; if (t < 0) t = -t
        c = v * s; x = c * (1 - t); m = v - c
        if (h < 1) { r = c; g = x; b = 0 } else if (h < 2) { r = x; g = c; b = 0 }
        else if (h < 3) { r = 0; g = c; b = x } else if (h < 4) { r = 0; g = x; b = c }
        else if (h < 5) { r = x; g = 0; b = c } else { r = c; g = 0; b = x }
        printf "%02X%02X%02X", (r + m) * 255, (g + m) * 255, (b + m) * 255
    }
}' >"$datadir/mycolor.rgb"

e2e_start_app "$e2e_work" "$launcher"
e2e_wait_window "$MAIN_TITLE"
main_window=$e2e_window
e2e_wait_managed "$main_window"
xdotool windowmove "$main_window" 150 170 || e2e_fail "xdotool windowmove failed"

# frame_extents ID: "LEFT RIGHT TOP BOTTOM" of the window manager's frame.
frame_extents() { xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ','; }
read_main()
{
    local l r t b
    read -r main_x main_y main_w main_h <<<"$(e2e_geometry "$main_window")"
    [ -n "${main_h:-}" ] || e2e_fail "the main window has gone"
    read -r l r t b <<<"$(frame_extents "$main_window")"
    frame_l=$((main_x - l)) frame_t=$((main_y - t))
    frame_r=$((main_x + main_w + r)) frame_b=$((main_y + main_h + b))
}
main_moved() { read_main; seen="client area at $main_x,$main_y"; [ "$frame_l" -ge 140 ] && [ "$frame_l" -le 160 ]; }
e2e_wait 10 "the main window to move to 150,170" main_moved

click_in() { read_main; e2e_click $((main_x + $1)) $((main_y + $2)); }
size_is() { seen=$(e2e_size "$main_window"); [ "$seen" = "$1" ]; }
client_pixel_is() { read_main; seen=$(pixel $((main_x + $1)) $((main_y + $2))); [ "$seen" = "$3" ]; }
client_pixel_is_not() { read_main; seen=$(pixel $((main_x + $1)) $((main_y + $2))); [ -n "$seen" ] && [ "$seen" != "$3" ]; }

# shoot NAME X0 Y0 X1 Y1: docs/NAME.png from the screen's rectangle, with
# the margin round it, kept on the screen.
shoot()
{
    local name=$1 x0=$(($2 - MARGIN)) y0=$(($3 - MARGIN)) x1=$(($4 + MARGIN)) y1=$(($5 + MARGIN))
    [ "$x0" -ge 0 ] || x0=0
    [ "$y0" -ge 0 ] || y0=0
    [ "$x1" -le $SCREEN_W ] || x1=$SCREEN_W
    [ "$y1" -le $SCREEN_H ] || y1=$SCREEN_H
    import -window root -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage -strip \
        -define png:exclude-chunks=date,time "$e2e_work/$name.png" ||
        e2e_fail "import could not take $name.png"
    mv "$e2e_work/$name.png" "$docs/$name.png"
    say "docs/$name.png: $((x1 - x0))x$((y1 - y0))"
}
shoot_main() { read_main; shoot "$1" "$frame_l" "$frame_t" "$frame_r" "$frame_b"; }

# ---- expanded: a colour set on the sample page, a swatch chosen ----------
click_in $CMDSWAP_X $CMDSWAP_Y
e2e_wait 10 "the window to expand to $EXPANDED" size_is $EXPANDED
sample_before=$(read_main; pixel $((main_x + SAMPLE_X)) $((main_y + SAMPLE_Y)))
# The first colour set, then down the list with the keyboard to "Ocean Breeze".
click_in $LIST_FIRST_X $LIST_FIRST_Y
xdotool key Down Down Down Down Down || e2e_fail "xdotool key failed"
e2e_wait 10 "the sample page to take the colour set's background" \
    client_pixel_is_not $SAMPLE_X $SAMPLE_Y "$sample_before"
# A swatch of the user's colours becomes the current colour.
swatch=19
read_main
swatch_colour=$(pixel $((main_x + $(swatch_x $swatch))) $((main_y + $(swatch_y $swatch))))
click_in "$(swatch_x $swatch)" "$(swatch_y $swatch)"
e2e_wait 10 "the current colour to be the swatch's $swatch_colour" \
    client_pixel_is $LBLCOLOR_X $LBLCOLOR_Y "$swatch_colour"
shoot_main expanded

# ---- shrunk ---------------------------------------------------------------
click_in $CMDSWAP_X $CMDSWAP_Y
e2e_wait 10 "the window to shrink to $SHRUNK" size_is $SHRUNK
shoot_main shrunk

# ---- picking: the pointer over the screen, the readout showing its colour --
click_in $CMDSWAP_X $CMDSWAP_Y
e2e_wait 10 "the window to expand to $EXPANDED" size_is $EXPANDED
click_in $OPTBG_X $OPTBG_Y
click_in $CMDSTART_X $CMDSTART_Y
find_pick_window()
{
    local id
    for id in $(xdotool search --onlyvisible --pid "$(cat "$e2e_work/app.pid")" 2>/dev/null); do
        if [ "$(e2e_geometry "$id")" = "0 0 $SCREEN_W $SCREEN_H" ]; then
            pick_window=$id
            return 0
        fi
    done
    seen="no window of the program over the whole screen"
    return 1
}
e2e_wait 20 "the picking window over the whole screen" find_pick_window
e2e_wait 10 "the main window back over the picking window" e2e_window_viewable "$main_window"
stacked_above()
{
    local list upper lower i=0 id
    list=$(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | sed 's/.*# //; s/,/ /g')
    upper="" lower=""
    for id in $list; do
        i=$((i + 1))
        [ "$((id))" = "$(($1))" ] && upper=$i
        [ "$((id))" = "$(($2))" ] && lower=$i
    done
    seen="stacking $list"
    [ -n "$upper" ] && [ -n "$lower" ] && [ "$upper" -gt "$lower" ]
}
e2e_wait 10 "the main window stacked above the picking window" stacked_above "$main_window" "$pick_window"
# One pick from the yellow circle: "Newest Pick" and the grid take it.
picks=$(wc -c <"$datadir/mycolor.rgb")
xdotool mousemove 930 330 || e2e_fail "xdotool mousemove failed"
e2e_wait 10 "the current colour to show the yellow under the pointer" \
    client_pixel_is $LBLCOLOR_X $LBLCOLOR_Y FFD166
xdotool click 1 || e2e_fail "xdotool click failed"
picked() { seen="mycolor.rgb of $(wc -c <"$datadir/mycolor.rgb") bytes"; [ "$(wc -c <"$datadir/mycolor.rgb")" -ge $((picks + 6)) ]; }
e2e_wait 10 "the pick to be stored" picked
# Then the pointer at the top-left corner of the green shape, so that the
# floating sample above it stands out against the background.
point_x=800 point_y=540
xdotool mousemove "$point_x" "$point_y" || e2e_fail "xdotool mousemove failed"
want=$(pixel "$point_x" "$point_y")
e2e_wait 10 "the current colour to show the screen's $want under the pointer" \
    client_pixel_is $LBLCOLOR_X $LBLCOLOR_Y "$want"
e2e_wait 10 "the sample page's background to take $want" client_pixel_is $SAMPLE_X $SAMPLE_Y "$want"
read_main
shoot picking "$frame_l" "$frame_t" $((point_x + 40)) "$frame_b"

say "done: docs/shrunk.png, docs/expanded.png, docs/picking.png"
