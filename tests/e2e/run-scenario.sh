#!/usr/bin/env bash
# run-scenario.sh SCENARIO WM PROGRAM DATA_DIR WM_DELETE_HELPER [SCREEN_PATTERN_HELPER]
#
# Drives the real program on a private X server, with no window manager
# (WM=nowm) or under openbox (WM=openbox), through one user-visible
# scenario:
#   startup    the main window appears with its title and shrunk size, and
#              Expand/Shrink resize it
#   nosetdat   without "set.dat" a message box appears, Return ends the
#              program with a failure status and no file is created
#   about      the About box opens centred on the main window, blocks it,
#              and closes with Return or its Ok button
#   close      closing the main window ends the program with status 0 and
#              leaves the user's colour file untouched
#   topmost    the main window stays above a newly shown window (needs a
#              window manager)
#   pick       with known colours on the screen, a picking session shows the
#              colour under the pointer, every button's click appends it to
#              the user's colour file, the image leaves the main window out,
#              Stop ends the session, a new session takes a new image, and
#              closing during a session ends the program with status 0
#              (needs SCREEN_PATTERN_HELPER)
# Exit status 0 when every check holds; otherwise the first failed check is
# printed with what was expected and what was seen.
set -u

if [ $# -ne 5 ] && [ $# -ne 6 ]; then
    echo "usage: $0 SCENARIO nowm|openbox PROGRAM DATA_DIR WM_DELETE_HELPER [SCREEN_PATTERN_HELPER]" >&2
    exit 2
fi
scenario=$1
wm=$2
absolute() { case $1 in /*) printf '%s\n' "$1" ;; *) printf '%s/%s\n' "$PWD" "$1" ;; esac; }
program=$(absolute "$3")
data=$(absolute "$4")
wm_delete=$(absolute "$5")
screen_pattern=$(absolute "${6:-e2e_screen_pattern-not-given}")

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
. "$here/xsession.sh"

e2e_begin "e2e_${scenario}_${wm}"
e2e_need Xvfb xdotool xwininfo xprop awk cmp
[ -x "$program" ] || e2e_fail "program not found: $program"
[ -f "$data/set.dat" ] || e2e_fail "shipped data not found in $data"

readonly MAIN_TITLE="Tintaro2.0"
readonly ABOUT_TITLE="About Tintaro"
readonly SHRUNK=221x215
readonly EXPANDED=486x405
# Centres of controls, in client coordinates of their window.
readonly CMDSWAP_X=162 CMDSWAP_Y=196       # "Expand>>", 96x24 at (114,184)
readonly CMDSWAP_LEFT=114 CMDSWAP_TOP=184 CMDSWAP_W=96 CMDSWAP_H=24
readonly CMDABOUT_X=162 CMDABOUT_Y=169     # "About", 96x24 at (114,157)
readonly COMMAND1_X=135 COMMAND1_Y=165     # About box "Ok", 70x25 at (100,153)

e2e_start_x
e2e_start_wm "$wm"

# A folder holding the shipped data, as the program is started from.
new_data_folder()
{
    local folder
    folder=$(mktemp -d "$e2e_work/folder.XXXXXX") || e2e_fail "mktemp failed"
    e2e_copy_data "$data" "$folder" set.dat colorset.dat websafe.rgb
    new_folder=$folder
}

# Starts the program in FOLDER and waits for its main window: main_window.
start_main()
{
    e2e_start_app "$program" "$1"
    e2e_wait_window "$MAIN_TITLE"
    main_window=$e2e_window
    e2e_wait_managed "$main_window"
}

# click_in ID X Y: a real click at client position X,Y of window ID.
click_in()
{
    local gx gy gw gh
    read -r gx gy gw gh <<<"$(e2e_geometry "$1")"
    [ -n "${gh:-}" ] || e2e_fail "window $1 has gone"
    e2e_click $((gx + $2)) $((gy + $3))
}

expect_main_size()
{
    e2e_wait_size "$main_window" "$1"
    local requested
    requested=$(e2e_requested_size "$main_window")
    [ "$requested" = "$1" ] ||
        e2e_fail "expected the main window to ask for $1 (WM_NORMAL_HINTS), it asks for '${requested}'"
}

# A listing of a folder that shows any new, lost or changed file.
folder_listing()
{
    (cd "$1" && for f in * .[!.]*; do
        [ -e "$f" ] || continue
        printf '%s %s\n' "$(cksum <"$f")" "$f"
    done)
}

scenario_startup()
{
    new_data_folder
    start_main "$new_folder"

    local name
    name=$(xprop -id "$main_window" WM_NAME 2>/dev/null)
    [ "$name" = "WM_NAME(STRING) = \"$MAIN_TITLE\"" ] ||
        e2e_fail "expected WM_NAME \"$MAIN_TITLE\", saw: $name"
    name=$(xprop -id "$main_window" _NET_WM_NAME 2>/dev/null)
    [ "$name" = "_NET_WM_NAME(UTF8_STRING) = \"$MAIN_TITLE\"" ] ||
        e2e_fail "expected _NET_WM_NAME \"$MAIN_TITLE\", saw: $name"

    expect_main_size "$SHRUNK"
    click_in "$main_window" $CMDSWAP_X $CMDSWAP_Y
    expect_main_size "$EXPANDED"
    click_in "$main_window" $CMDSWAP_X $CMDSWAP_Y
    expect_main_size "$SHRUNK"
    # And once more, so that the second Expand is not a one-off.
    click_in "$main_window" $CMDSWAP_X $CMDSWAP_Y
    expect_main_size "$EXPANDED"
    e2e_app_running || e2e_fail "the program ended during the scenario"
}

# One start without "set.dat" in a folder that holds FILES...
refuse_to_start_in()
{
    local folder before after box size count
    folder=$(mktemp -d "$e2e_work/folder.XXXXXX") || e2e_fail "mktemp failed"
    [ $# -eq 0 ] || e2e_copy_data "$data" "$folder" "$@"
    before=$(folder_listing "$folder")

    e2e_start_app "$program" "$folder"
    e2e_wait_window "$MAIN_TITLE"
    box=$e2e_window
    e2e_wait_managed "$box"
    size=$(e2e_size "$box")
    [ "$size" != "$SHRUNK" ] ||
        e2e_fail "expected a message box titled '$MAIN_TITLE', saw a window of the main window's size $size"
    count=$(xdotool search --onlyvisible --name '^Tintaro2\.0$' 2>/dev/null | wc -l)
    [ "$count" -eq 1 ] || e2e_fail "expected one window titled '$MAIN_TITLE' (the message), saw $count"
    xprop -id "$box" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG ||
        e2e_fail "expected the window titled '$MAIN_TITLE' to be a dialog, saw: $(xprop -id "$box" _NET_WM_WINDOW_TYPE 2>&1)"

    e2e_wait_focus "$box"
    xdotool key Return
    e2e_wait_exit 20
    [ "$e2e_status" -ne 0 ] && [ "$e2e_status" -lt 128 ] ||
        e2e_fail "expected the program to fail with a status from 1 to 127 after Return, it ended with $e2e_status"
    e2e_log "without set.dat (folder holding: ${*:-nothing}): a ${size} message box, status $e2e_status after Return"
    after=$(folder_listing "$folder")
    [ "$before" = "$after" ] ||
        e2e_fail "expected the folder unchanged; before:
$before
after:
$after"
}

scenario_nosetdat()
{
    refuse_to_start_in
    refuse_to_start_in colorset.dat websafe.rgb
}

# Moves the main window so that a box centred on it lies wholly on screen.
move_main_to_middle()
{
    xdotool windowmove "$main_window" 400 300 || e2e_fail "xdotool windowmove failed"
    e2e_wait_for 10 "the main window to move near (400,300)" main_near 400 300
}
main_near()
{
    local gx gy gw gh
    read -r gx gy gw gh <<<"$(e2e_geometry "$main_window")"
    [ -n "${gh:-}" ] && [ $((gx - $1)) -le 30 ] && [ $(($1 - gx)) -le 30 ] &&
        [ $((gy - $2)) -le 30 ] && [ $(($2 - gy)) -le 30 ]
}

# Opens the About box from the main window: about_window.
open_about()
{
    click_in "$main_window" $CMDABOUT_X $CMDABOUT_Y
    e2e_wait_window "$ABOUT_TITLE" 10
    about_window=$e2e_window
    e2e_wait_managed "$about_window"
}

expect_about_centred()
{
    local mx my mw mh ax ay aw ah dx dy
    read -r mx my mw mh <<<"$(e2e_geometry "$main_window")"
    read -r ax ay aw ah <<<"$(e2e_geometry "$about_window")"
    # Twice the centres, to stay in whole numbers.
    dx=$(((2 * ax + aw) - (2 * mx + mw)))
    dy=$(((2 * ay + ah) - (2 * my + mh)))
    if [ ${dx#-} -gt 6 ] || [ ${dy#-} -gt 6 ]; then
        e2e_fail "expected the About box centred on the main window (within 3 px): main client ${mw}x${mh}+${mx}+${my}, About client ${aw}x${ah}+${ax}+${ay}, centres differ by ($((dx / 2)),$((dy / 2))) px"
    fi
}

# A point of the Expand button that the About box (with its frame) does not
# cover, so that a click there really reaches the blocked main window.
uncovered_expand_point()
{
    local mx my mw mh ax ay aw ah l r t b x y
    read -r mx my mw mh <<<"$(e2e_geometry "$main_window")"
    read -r ax ay aw ah <<<"$(e2e_geometry "$about_window")"
    read -r l r t b <<<"$(e2e_frame_extents "$about_window")"
    for y in $(seq $((my + CMDSWAP_TOP + CMDSWAP_H - 3)) -1 $((my + CMDSWAP_TOP + 2))); do
        for x in $((mx + CMDSWAP_LEFT + CMDSWAP_W / 2)) $((mx + CMDSWAP_LEFT + 3)) \
                 $((mx + CMDSWAP_LEFT + CMDSWAP_W - 4)); do
            if [ "$x" -lt $((ax - l)) ] || [ "$x" -ge $((ax + aw + r)) ] ||
               [ "$y" -lt $((ay - t)) ] || [ "$y" -ge $((ay + ah + b)) ]; then
                point="$x $y"
                return 0
            fi
        done
    done
    e2e_fail "the About box (client ${aw}x${ah}+${ax}+${ay}) covers the whole Expand button"
}

scenario_about()
{
    local point x y
    new_data_folder
    start_main "$new_folder"
    expect_main_size "$SHRUNK"
    move_main_to_middle

    open_about
    expect_about_centred
    e2e_log "About box at $(e2e_geometry "$about_window") over the main window at $(e2e_geometry "$main_window") (x y w h)"
    if [ "$wm" != nowm ]; then
        expect_stacked_above "$about_window" "$main_window" "the About box" "the main window"
    fi

    # Modal: a click on the main window's Expand button changes nothing.
    uncovered_expand_point
    read -r x y <<<"$point"
    e2e_click "$x" "$y"
    e2e_wait_focus "$about_window"
    xdotool key Return
    e2e_wait_gone "$about_window"
    # The click reached the program before the Return key that closed the
    # box; the program states its size on its own window, in order.
    [ "$(e2e_requested_size "$main_window")" = "$SHRUNK" ] ||
        e2e_fail "expected the main window to ignore Expand while the About box was open; it asks for $(e2e_requested_size "$main_window")"
    [ "$(e2e_size "$main_window")" = "$SHRUNK" ] ||
        e2e_fail "expected the main window to stay $SHRUNK while the About box was open; it is $(e2e_size "$main_window")"
    e2e_app_running || e2e_fail "closing the About box ended the program"

    # After Return the main window works again.
    click_in "$main_window" $CMDSWAP_X $CMDSWAP_Y
    expect_main_size "$EXPANDED"
    click_in "$main_window" $CMDSWAP_X $CMDSWAP_Y
    expect_main_size "$SHRUNK"

    # A second, fresh About box closes with its Ok button.
    open_about
    expect_about_centred
    click_in "$about_window" $COMMAND1_X $COMMAND1_Y
    e2e_wait_gone "$about_window"
    e2e_app_running || e2e_fail "the Ok button of the About box ended the program"
    click_in "$main_window" $CMDSWAP_X $CMDSWAP_Y
    expect_main_size "$EXPANDED"
}

# Writes COUNT colour records and a short tail to FILE.
write_colour_file()
{
    awk -v n="$2" 'BEGIN {
        for (i = 0; i < n; ++i) printf "%02X%02X%02X", (i * 7) % 256, (i * 13) % 256, (i * 29) % 256
        printf "AB1"
    }' >"$1"
}

scenario_close()
{
    local keep before after
    new_data_folder
    # 200 records (more than one page) and a 3-byte tail.
    write_colour_file "$new_folder/mycolor.rgb" 200
    keep="$e2e_work/mycolor.rgb.orig"
    cp "$new_folder/mycolor.rgb" "$keep"
    before=$(folder_listing "$new_folder")

    start_main "$new_folder"
    expect_main_size "$SHRUNK"
    # Close it expanded, as the user would after working in the palette.
    click_in "$main_window" $CMDSWAP_X $CMDSWAP_Y
    expect_main_size "$EXPANDED"

    case $wm in
    nowm)
        [ -x "$wm_delete" ] || e2e_fail "helper not built: $wm_delete (needs libx11-dev)"
        # The window system's close request, as a window manager sends it.
        "$wm_delete" "$main_window" || e2e_fail "could not send WM_DELETE_WINDOW to $main_window"
        ;;
    *)
        xdotool windowactivate --sync "$main_window" >/dev/null 2>&1
        e2e_wait_focus "$main_window"
        e2e_wait_for 10 "the window manager to make the main window active" \
            sh -c "xprop -root _NET_ACTIVE_WINDOW | grep -qi \"$(printf '0x%x' "$main_window")\$\""
        xdotool key alt+F4
        ;;
    esac
    e2e_wait_exit 20
    [ "$e2e_status" = 0 ] || e2e_fail "expected exit status 0 after closing the main window, saw $e2e_status"
    e2e_log "closed; status 0; mycolor.rgb $(wc -c <"$keep") bytes compared"
    cmp "$keep" "$new_folder/mycolor.rgb" ||
        e2e_fail "expected mycolor.rgb byte-identical after closing"
    after=$(folder_listing "$new_folder")
    [ "$before" = "$after" ] ||
        e2e_fail "expected the folder unchanged after closing; before:
$before
after:
$after"
}

# Position of window ID in the window manager's bottom-to-top stacking list,
# or nothing when it is not listed.
stacking_index()
{
    xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null |
        sed -n 's/.*# //p' | tr ',' '\n' | awk -v want="$(printf '0x%x' "$1")" '
            { gsub(/ /, ""); if (tolower($0) == want) { print NR; exit } }'
}

expect_stacked_above()
{
    local upper lower
    e2e_wait_for 10 "$3 in the stacking list" sh -c "[ -n \"\$(xprop -root _NET_CLIENT_LIST_STACKING)\" ]"
    upper=$(stacking_index "$1")
    lower=$(stacking_index "$2")
    [ -n "$upper" ] && [ -n "$lower" ] && [ "$upper" -gt "$lower" ] ||
        e2e_fail "expected $3 ($1) above $4 ($2); _NET_CLIENT_LIST_STACKING (bottom to top): $(xprop -root _NET_CLIENT_LIST_STACKING 2>&1)"
}

scenario_topmost()
{
    [ "$wm" != nowm ] || e2e_fail "the topmost scenario needs a window manager"
    e2e_need xmessage
    local mx my mw mh cover i
    new_data_folder
    start_main "$new_folder"
    read -r mx my mw mh <<<"$(e2e_geometry "$main_window")"
    xprop -id "$main_window" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE ||
        e2e_fail "expected the main window in state _NET_WM_STATE_ABOVE, saw: $(xprop -id "$main_window" _NET_WM_STATE 2>&1)"

    # A normal window mapped later, right over the main window.
    xmessage -name tintaro-e2e-cover -title "Cover" -geometry "400x350+$((mx - 50))+$((my - 50))" \
        "A window over the main window" >/dev/null 2>&1 &
    e2e_extra_pids+=($!)
    cover=""
    for i in $(seq 1 400); do
        cover=$(xdotool search --onlyvisible --classname '^tintaro-e2e-cover$' 2>/dev/null | head -n 1)
        [ -n "$cover" ] && break
        sleep "$E2E_POLL_INTERVAL"
    done
    [ -n "$cover" ] || e2e_fail "the covering xmessage window did not appear"
    e2e_wait_managed "$cover"
    e2e_wait_for 10 "the covering window in the stacking list" sh -c "[ -n \"\$(xprop -root _NET_CLIENT_LIST_STACKING | grep -i $(printf '0x%x' "$cover"))\" ]"
    expect_stacked_above "$main_window" "$cover" "the main window" "the newly shown window"

    # Still above when the other window is activated and clicked.
    xdotool windowactivate --sync "$cover" >/dev/null 2>&1
    e2e_wait_focus "$cover"
    read -r cx cy cw ch <<<"$(e2e_geometry "$cover")"
    e2e_click $((cx + cw - 10)) $((cy + ch - 10))
    expect_stacked_above "$main_window" "$cover" "the main window" "the activated window"
    e2e_app_running || e2e_fail "the program ended during the scenario"
}

# ---- pick -------------------------------------------------------------------

readonly SCREEN_W=1280 SCREEN_H=1024       # as e2e_start_x makes the screen
readonly CMDSTART_X=162 CMDSTART_Y=61      # "Start to pick color", 96x24 at (114,49)
readonly CMDSTOP_X=162 CMDSTOP_Y=88        # "Stop picking", 96x24 at (114,76)
readonly LBLCOLOR_X=53 LBLCOLOR_Y=40       # middle of the current-colour swatch, 73x68 at (17,6)

# The last value a polled condition saw, for the failure message.
seen=""

# wait_until SECONDS DESCRIPTION COMMAND...: polls COMMAND until it succeeds;
# on time-out fails with DESCRIPTION and what COMMAND last put in $seen.
wait_until()
{
    local seconds=$1 what=$2 i tries
    shift 2
    seen=""
    tries=$(awk -v s="$seconds" -v p="$E2E_POLL_INTERVAL" 'BEGIN { printf "%d", s / p }')
    for i in $(seq 1 "$tries"); do
        "$@" && return 0
        e2e_app_running ||
            e2e_fail "expected $what; the program ended with status $(cat "$e2e_work/app.status") first"
        sleep "$E2E_POLL_INTERVAL"
    done
    e2e_fail "waited ${seconds}s for $what${seen:+; saw $seen}"
}

pattern_pid=""
pattern_mask=0

pattern_shown()
{
    grep -q '^shown ' "$e2e_work/pattern.out" && return 0
    kill -0 "$pattern_pid" 2>/dev/null ||
        e2e_fail "the screen pattern helper ended: $(cat "$e2e_work/pattern.out")"
    return 1
}

# start_pattern MASK: known colours over the whole screen, under every
# window: each pixel encodes its own coordinates, XORed with MASK.
start_pattern()
{
    [ -x "$screen_pattern" ] || e2e_fail "helper not built: $screen_pattern (needs libx11-dev)"
    pattern_mask=$1
    : >"$e2e_work/pattern.out"
    "$screen_pattern" show 0 0 $SCREEN_W $SCREEN_H "$pattern_mask" >"$e2e_work/pattern.out" 2>&1 &
    pattern_pid=$!
    e2e_extra_pids+=("$pattern_pid")
    e2e_wait_for 10 "the screen pattern to be shown" pattern_shown
}

stop_pattern()
{
    local pid kept=()
    e2e_stop_pid "$pattern_pid"
    for pid in "${e2e_extra_pids[@]}"; do
        [ "$pid" = "$pattern_pid" ] || kept+=("$pid")
    done
    e2e_extra_pids=("${kept[@]}")
    pattern_pid=""
}

# pattern_colour X Y: RRGGBB of the pattern now shown, at root point X,Y.
pattern_colour() { "$screen_pattern" expect "$1" "$2" "$pattern_mask"; }

# screen_colour X Y: RRGGBB that the screen shows at root point X,Y.
screen_colour() { "$screen_pattern" pixel "$1" "$2"; }

# screen_shows X Y RRGGBB
screen_shows()
{
    seen="$(screen_colour "$1" "$2") at $1,$2"
    [ "${seen%% *}" = "$3" ]
}

# read_main: the main window's client area (main_x main_y main_w main_h) and
# its frame, decoration included (frame_l frame_t, and frame_r frame_b just
# past it), in root coordinates.
read_main()
{
    local l r t b
    read -r main_x main_y main_w main_h <<<"$(e2e_geometry "$main_window")"
    [ -n "${main_h:-}" ] || e2e_fail "the main window has gone"
    read -r l r t b <<<"$(e2e_frame_extents "$main_window")"
    frame_l=$((main_x - l)) frame_t=$((main_y - t))
    frame_r=$((main_x + main_w + r)) frame_b=$((main_y + main_h + b))
}

under_main()
{
    [ "$1" -ge "$frame_l" ] && [ "$1" -lt "$frame_r" ] && [ "$2" -ge "$frame_t" ] && [ "$2" -lt "$frame_b" ]
}

# swatch_is RRGGBB: the main window's current-colour swatch shows that colour.
swatch_is()
{
    read_main
    screen_shows $((main_x + LBLCOLOR_X)) $((main_y + LBLCOLOR_Y)) "$1"
}

# find_pick_window: a visible window of the program that covers the whole
# screen from its top-left corner; its id goes to pick_window.
find_pick_window()
{
    local id
    seen=""
    for id in $(xdotool search --onlyvisible --pid "$(cat "$e2e_work/app.pid")" 2>/dev/null); do
        if [ "$(e2e_geometry "$id")" = "0 0 $SCREEN_W $SCREEN_H" ]; then
            pick_window=$id
            return 0
        fi
        seen="${seen:+$seen, }window $id at $(e2e_geometry "$id") (x y w h)"
    done
    return 1
}

user_file_size() { wc -c <"$new_folder/mycolor.rgb"; }
user_file_reaches()
{
    local size
    size=$(user_file_size)
    seen="mycolor.rgb of $size bytes"
    [ "$size" -ge "$1" ]
}

# expect_user_file: mycolor.rgb holds exactly the records expected so far.
expect_user_file()
{
    cmp -s "$expected_file" "$new_folder/mycolor.rgb" ||
        e2e_fail "expected mycolor.rgb to read '$(cat "$expected_file")', it reads '$(cat "$new_folder/mycolor.rgb")'"
}

# start_session: clicks Start and waits for the picking window over the
# whole screen with the main window back on top of it.
start_session()
{
    read_main
    e2e_click $((main_x + CMDSTART_X)) $((main_y + CMDSTART_Y))
    wait_until 20 "a window of the program over the whole screen (${SCREEN_W}x${SCREEN_H}+0+0) after Start" \
        find_pick_window
    wait_until 10 "the main window to be shown again over the picking window" \
        e2e_window_viewable "$main_window"
    e2e_wait_managed "$main_window"
    if [ "$wm" != nowm ]; then
        # The window manager takes the main window back in its own time.
        wait_until 10 "the main window ($main_window) stacked above the picking window ($pick_window)" \
            stacked_above "$main_window" "$pick_window"
    fi
    e2e_log "picking window $pick_window up; main window at $(e2e_geometry "$main_window") (x y w h)"
}

# stacked_above UPPER LOWER: both in the window manager's stacking list,
# UPPER higher.
stacked_above()
{
    local upper lower
    upper=$(stacking_index "$1")
    lower=$(stacking_index "$2")
    seen="_NET_CLIENT_LIST_STACKING (bottom to top) $(xprop -root _NET_CLIENT_LIST_STACKING 2>&1 | sed 's/.*# //')"
    [ -n "$upper" ] && [ -n "$lower" ] && [ "$upper" -gt "$lower" ]
}

# pick_at X Y BUTTON [clicks]: points at root X,Y (outside the main window),
# waits until the swatch shows the pattern's colour there, clicks BUTTON
# (once, or the given number of times without moving) and expects exactly
# that many records of the colour appended to mycolor.rgb.
pick_at()
{
    local x=$1 y=$2 button=$3 clicks=${4:-1} colour size i
    read_main
    under_main "$x" "$y" &&
        e2e_fail "test point $x,$y lies under the main window (frame from $frame_l,$frame_t to $frame_r,$frame_b)"
    colour=$(pattern_colour "$x" "$y")
    xdotool mousemove "$x" "$y" || e2e_fail "xdotool mousemove failed"
    wait_until 10 "the current-colour swatch to show $colour, the colour at $x,$y when the session began" \
        swatch_is "$colour"
    for i in $(seq 1 "$clicks"); do
        size=$(user_file_size)
        xdotool click "$button" || e2e_fail "xdotool click failed"
        wait_until 10 "a record appended to mycolor.rgb by button $button at $x,$y" \
            user_file_reaches $((size + 6))
        printf '%s' "$colour" >>"$expected_file"
        expect_user_file
    done
    # The click itself changes nothing shown.
    swatch_is "$colour" || e2e_fail "expected the swatch to keep $colour after the click; saw $seen"
    picked_points="$picked_points $x,$y:$colour"
}

# key_pick KEY... : types the arrow KEYs (xdotool names), expects the pointer
# on the image pixel they lead to from key_x,key_y and the swatch showing
# it, then picks with Return.
key_pick()
{
    local key colour size
    for key in "$@"; do
        case $key in
        Right) key_x=$((key_x + 1)) ;;
        Left) key_x=$((key_x - 1)) ;;
        Down) key_y=$((key_y + 1)) ;;
        Up) key_y=$((key_y - 1)) ;;
        shift+Right) key_x=$((key_x + 10)) ;;
        shift+Left) key_x=$((key_x - 10)) ;;
        shift+Down) key_y=$((key_y + 10)) ;;
        shift+Up) key_y=$((key_y - 10)) ;;
        *) e2e_fail "key_pick: not an arrow key: $key" ;;
        esac
        colour=$(pattern_colour "$key_x" "$key_y")
        xdotool key "$key" || e2e_fail "xdotool key failed"
        wait_until 10 "the swatch to show $colour after $key, the colour at $key_x,$key_y" swatch_is "$colour"
        wait_until 10 "the pointer at $key_x,$key_y after $key" pointer_at "$key_x" "$key_y"
    done
    size=$(user_file_size)
    xdotool key Return || e2e_fail "xdotool key failed"
    wait_until 10 "a record appended to mycolor.rgb by Return at $key_x,$key_y" user_file_reaches $((size + 6))
    printf '%s' "$colour" >>"$expected_file"
    expect_user_file
    picked_points="$picked_points $key_x,$key_y:$colour"
}

pointer_at()
{
    seen="the pointer at $(xdotool getmouselocation 2>/dev/null)"
    xdotool getmouselocation 2>/dev/null | grep -q "^x:$1 y:$2 "
}

scenario_pick()
{
    local x y mx my i
    [ -x "$wm_delete" ] || e2e_fail "helper not built: $wm_delete (needs libx11-dev)"
    [ "$(xwininfo -root | awk '/^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print w "x" h }')" = \
      "${SCREEN_W}x${SCREEN_H}" ] || e2e_fail "expected a ${SCREEN_W}x${SCREEN_H} screen"
    start_pattern 0
    for i in "0 0" "1279 1023" "640 512" "300 700"; do
        read -r x y <<<"$i"
        screen_shows "$x" "$y" "$(pattern_colour "$x" "$y")" ||
            e2e_fail "expected the screen pattern's $(pattern_colour "$x" "$y") at $x,$y; saw $seen"
    done

    new_data_folder
    printf '%s' 112233445566778899 >"$new_folder/mycolor.rgb"
    expected_file="$e2e_work/mycolor.expected"
    cp "$new_folder/mycolor.rgb" "$expected_file"
    picked_points=""
    start_main "$new_folder"
    expect_main_size "$SHRUNK"
    ! find_pick_window || e2e_fail "expected no picking window before Start; saw window $pick_window"

    start_session
    # Away from the main window, with every button, the screen's corner
    # included; twice without moving in between.
    pick_at 700 517 1
    pick_at 1279 1023 3
    pick_at 37 900 2
    pick_at 1100 45 1 2
    # The arrow keys move the pointer by one pixel (ten with Shift) from
    # there; Return picks.
    key_x=1100 key_y=45
    key_pick Right Right shift+Down Left
    # At the top edge the floating sample lies partly, then wholly, above
    # the screen; the image must come out of that unchanged.
    pick_at 700 20 3
    pick_at 710 5 1
    pick_at 900 600 2
    for i in "710 2" "705 10" "712 0" "880 590"; do
        read -r x y <<<"$i"
        screen_shows "$x" "$y" "$(pattern_colour "$x" "$y")" ||
            e2e_fail "expected the picking window to show the image's $(pattern_colour "$x" "$y") at $x,$y after the pointer moved on; saw $seen"
    done
    # Right beside the main window, with its decoration.
    read_main
    [ "$frame_r" -lt $SCREEN_W ] && [ "$frame_b" -lt $SCREEN_H ] ||
        e2e_fail "the main window (frame to $frame_r,$frame_b) leaves no room beside it"
    pick_at "$frame_r" $(((frame_t + frame_b) / 2)) 3
    pick_at $(((frame_l + frame_r) / 2)) "$frame_b" 2

    # Where the main window stood while the image was taken: once it moves
    # away, the picking window shows (and a click there picks) the pattern,
    # not the main window.
    mx=$((main_x + LBLCOLOR_X)) my=$((main_y + LBLCOLOR_Y))
    xdotool windowmove "$main_window" 800 600 || e2e_fail "xdotool windowmove failed"
    wait_until 10 "the main window to move away from $mx,$my" main_moved_off "$mx" "$my"
    wait_until 10 "the picking window to show the image's $(pattern_colour "$mx" "$my") where the main window stood" \
        screen_shows "$mx" "$my" "$(pattern_colour "$mx" "$my")"
    pick_at "$mx" "$my" 1
    e2e_log "picked$picked_points"

    # Stop ends the session: the picking window goes, and a click on the
    # screen reaches the program no more.
    read_main
    e2e_click $((main_x + CMDSTOP_X)) $((main_y + CMDSTOP_Y))
    e2e_wait_gone "$pick_window" 10
    ! find_pick_window || e2e_fail "expected no picking window after Stop; saw window $pick_window"
    xdotool mousemove 400 900 click 1 || e2e_fail "xdotool failed"
    # The program handles its events in order: once Expand has taken
    # effect, a pick from that click would have been written.
    read_main
    e2e_click $((main_x + CMDSWAP_X)) $((main_y + CMDSWAP_Y))
    expect_main_size "$EXPANDED"
    expect_user_file
    swatch_is "${picked_points##*:}" ||
        e2e_fail "expected the swatch to keep the last picked ${picked_points##*:} after Stop; saw $seen"

    # A new session takes a new image: the screen changed at every pixel.
    stop_pattern
    start_pattern 0xFFFFFF
    wait_until 10 "the new screen pattern to show" screen_shows 300 300 "$(pattern_colour 300 300)"
    picked_points=""
    start_session
    pick_at 300 300 2
    pick_at 1200 100 3
    e2e_log "picked from the new image$picked_points"

    # Closing the main window during a session ends the program cleanly.
    "$wm_delete" "$main_window" || e2e_fail "could not send WM_DELETE_WINDOW to $main_window"
    e2e_wait_exit 20
    [ "$e2e_status" = 0 ] || e2e_fail "expected exit status 0 after closing during a session, saw $e2e_status"
    expect_user_file
    e2e_log "closed during a session; status 0; mycolor.rgb holds $(($(wc -c <"$expected_file") / 6)) records as expected"
}

main_moved_off()
{
    read_main
    seen="main window frame from $frame_l,$frame_t to $frame_r,$frame_b"
    ! under_main "$1" "$2" && [ "$frame_l" -gt 600 ]
}

case $scenario in
startup | nosetdat | about | close | topmost | pick) "scenario_$scenario" ;;
*) e2e_fail "unknown scenario '$scenario'" ;;
esac
echo "${e2e_name}: passed"
