#!/usr/bin/env bash
# run-gnome-prompt.sh PROGRAM DATA_DIR refuse|unanswered
# The real program under a headless GNOME Shell that has not been allowed to
# give it screenshots: Start brings up the desktop's question, and the main
# window comes back saying that the screenshot is awaited. Refused, the
# session ends with a message that says where to allow it, and the next
# Start is refused at once, unasked; unanswered, the desktop gives up without
# a word and the program says so. Nothing in the data folder changes.
set -u
[ $# -eq 3 ] || { echo "usage: $0 PROGRAM DATA_DIR refuse|unanswered" >&2; exit 2; }
program=$(realpath "$1") data=$(realpath "$2") mode=$3
# shellcheck source=../../scripts/gnomesession.sh
. "$(dirname "$0")/../../scripts/gnomesession.sh"
e2e_begin "e2e_gnome_$mode"
case $mode in refuse | unanswered) ;; *) e2e_fail "unknown mode '$mode' (refuse or unanswered)" ;; esac
gnome_start ask
mkdir "$e2e_work/bin" && cp "$program" "$e2e_work/bin/" && program=$e2e_work/bin/$(basename "$program")
mkdir "$e2e_work/ref" && cp "$data/colorset.dat" "$data/websafe.rgb" "$data/set.dat" "$e2e_work/ref/"
printf '0A0B0C112233' >"$e2e_work/ref/mycolor.rgb"
folder=$e2e_work/run.data && cp -r "$e2e_work/ref" "$folder"
way_start_app "$folder" "$program"
pid=$(cat "$e2e_work/app.pid")

# windows_are LIST: the program's windows, by title (- for none: the notice), in order.
windows_are() { seen=$(gnome_windows "$pid" | cut -d' ' -f1 | tr '\n' ' '); [ "$seen" = "$1 " ]; }
told() { seen=$(grep -c "^tintaro: .*$1" "$e2e_work/app.log"); [ "$seen" = "$2" ]; }
# start WHAT CONDITION: clicks Start, while the main window has the focus, until
# CONDITION holds. A click as the window comes back may be lost; once a session
# runs the window hides, and Start is disabled when it returns.
start()
{
    local mx my
    e2e_wait 20 "$1" eval "$2"' || { gnome_windows "$pid" | grep -q "^Tintaro2.0 focus " &&
        read -r mx my <<<"$(gnome_client "$pid" Tintaro2.0)" && gnome_click $((mx + 162)) $((my + 61)); false; }'
}

start "the desktop's question" gnome_prompt_shown
e2e_wait 10 "the main window back, and the notice below it" windows_are "Tintaro2.0 -"
if [ "$mode" = refuse ]; then
    gnome_refuse
    refused="The desktop refused the screenshot that picking needs, and will refuse it without asking"
    e2e_wait 10 "the refusal told" told "$refused" 1
    e2e_wait 10 "a message box, and no notice" windows_are "Tintaro2.0 Tintaro2.0"
    gnome_key Return
    e2e_wait 10 "the message box closed" windows_are "Tintaro2.0"
    # The refusal is kept: the next Start is refused at once, with no question.
    start "the refusal told again" 'told "$refused" 2'
    ! gnome_prompt_shown || e2e_fail "the desktop asked again"
else
    # The portal gives up on its question after 25 s and sends no answer.
    e2e_wait 40 "the unanswered question told" told "The desktop's question whether this program may take screenshots went unanswered. Start again" 1
    e2e_wait 10 "a message box, and no notice" windows_are "Tintaro2.0 Tintaro2.0"
fi
gnome_close "$pid"
e2e_wait_exit 20
[ "$e2e_status" = 0 ] && [ "$(listing "$folder")" = "$(listing "$e2e_work/ref")" ] ||
    e2e_fail "expected status 0 and the folder as ref ($(listing "$e2e_work/ref")), status $e2e_status, it holds $(listing "$folder")"
echo "$e2e_name: passed"
