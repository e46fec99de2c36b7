#!/usr/bin/env bash
# run-clipboard.sh PROGRAM DATA_DIR XPROBE
# The real program on a private X server with no clipboard manager: a colour copied from the
# menu stays on the clipboard after the program has ended, served by a detached keeper that
# ends as soon as another program copies something. With nothing copied, no keeper starts.
set -u
[ $# -eq 3 ] || { echo "usage: $0 PROGRAM DATA_DIR XPROBE" >&2; exit 2; }
program=$(realpath "$1") data=$(realpath "$2") probe=$(realpath "$3")
# shellcheck source=../../scripts/xsession.sh
. "$(dirname "$0")/../../scripts/xsession.sh"
e2e_begin e2e_clipboard
e2e_need Xvfb xdotool xwininfo xclip timeout
e2e_start_x

readonly TITLE=Tintaro2.0
folder=$e2e_work/data.run && mkdir "$folder" && cp "$data/colorset.dat" "$data/websafe.rgb" "$data/set.dat" "$folder/"
clipboard() { xclip -o -selection clipboard 2>/dev/null; }
clipboard_is() { seen=$(clipboard); [ "$seen" = "$1" ]; }
# The keepers on this display, whoever else runs one.
keepers() { local p; for p in $(pgrep -x -f -- "$program --keep-clipboard"); do
    grep -qzx "DISPLAY=$DISPLAY" "/proc/$p/environ" 2>/dev/null && echo "$p"; done; }
no_keeper() { seen=$(keepers); [ -z "$seen" ]; }
menu_shown() { seen=$(xdotool search --onlyvisible --pid "$(cat "$e2e_work/app.pid")" 2>/dev/null | wc -l); [ "$seen" -ge 2 ]; }
# close_program: as a window manager's close button would, and the program ends with 0.
close_program()
{
    "$probe" close "$main"
    e2e_wait_exit 20
    [ "$e2e_status" = 0 ] || e2e_fail "the program ended with status $e2e_status"
}

# ---- the keeper alone: nothing to keep, or no display: status 2 at once -------------
timeout 10 "$program" --keep-clipboard </dev/null; status=$?
[ $status = 2 ] || e2e_fail "--keep-clipboard with an empty input ended with $status, not 2"
printf '#123456' | timeout 10 env -u DISPLAY "$program" --keep-clipboard; status=$?
[ $status = 2 ] || e2e_fail "--keep-clipboard without a display ended with $status, not 2"

# ---- nothing copied: no keeper is left -----------------------------------------------
e2e_start_app "$folder" "$program"
e2e_wait_window "$TITLE"
main=$e2e_window
close_program
no_keeper || e2e_fail "a keeper ($seen) runs though nothing was copied"

# ---- Copy HEX from the swatch's menu, then quit --------------------------------------
e2e_start_app "$folder" "$program"
e2e_wait_window "$TITLE"
main=$e2e_window
# A right click on the large swatch (centred at 53,40 in the client area) opens its menu.
read -r mx my _ <<<"$(e2e_geometry "$main")"
xdotool mousemove $((mx + 53)) $((my + 40)) click 3
e2e_wait 10 "the swatch's menu" menu_shown
xdotool key Down Return
e2e_wait 10 "Copy HEX to put #FFFFFF on the clipboard" clipboard_is "#FFFFFF"
close_program
keeper=$(keepers)
[ "$(wc -w <<<"$keeper")" = 1 ] || e2e_fail "expected one keeper after the program ended, saw '$keeper'"
# Detached: a session of its own, at /, holding nothing of the program's output.
[ "$(ps -o sid= -p "$keeper")" != "$(ps -o sid= -p $$)" ] || e2e_fail "the keeper shares the test's session"
[ "$(readlink "/proc/$keeper/cwd")" = / ] || e2e_fail "the keeper runs in $(readlink "/proc/$keeper/cwd"), not /"
for fd in 0 1 2; do
    [ "$(readlink "/proc/$keeper/fd/$fd")" = /dev/null ] ||
        e2e_fail "the keeper's fd $fd is $(readlink "/proc/$keeper/fd/$fd"), not /dev/null"
done

# One read a second for a minute: the text never goes away.
for i in $(seq 60); do
    clipboard_is "#FFFFFF" || e2e_fail "${i}s after the program ended the clipboard holds '$seen', not #FFFFFF"
    sleep 1
done

# Another program copies: the keeper ends and the new text stays.
printf other | xclip -selection clipboard >/dev/null 2>&1
e2e_wait 5 "the keeper to end once another program owns the clipboard" no_keeper
clipboard_is other || e2e_fail "after the keeper ended the clipboard holds '$seen', not 'other'"
echo "$e2e_name: passed"
