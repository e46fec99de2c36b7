#!/usr/bin/env bash
# run-scenario.sh SCENARIO WM PROGRAM DATA_DIR WM_DELETE_HELPER
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
# Exit status 0 when every check holds; otherwise the first failed check is
# printed with what was expected and what was seen.
set -u

if [ $# -ne 5 ]; then
    echo "usage: $0 SCENARIO nowm|openbox PROGRAM DATA_DIR WM_DELETE_HELPER" >&2
    exit 2
fi
scenario=$1
wm=$2
absolute() { case $1 in /*) printf '%s\n' "$1" ;; *) printf '%s/%s\n' "$PWD" "$1" ;; esac; }
program=$(absolute "$3")
data=$(absolute "$4")
wm_delete=$(absolute "$5")

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

case $scenario in
startup | nosetdat | about | close | topmost) "scenario_$scenario" ;;
*) e2e_fail "unknown scenario '$scenario'" ;;
esac
echo "${e2e_name}: passed"
