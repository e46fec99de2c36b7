#!/usr/bin/env bash
# The benchmarks, in one command: builds bench/ in Release (build/bench),
# runs every benchmark on private X servers (Xvfb) of this machine and
# prints one table of the figures beside their targets.
#
#   ./scripts/bench.sh
#
# What runs (each program's own output is kept in build/bench/results/):
#   bench/run-startup.sh     start-up to the first paint, empty and 60 MB
#                            user file, median of 10; idle memory
#   bench_mainwindow         FillPalette of a full page, page change,
#                            cleaning and deleting among 1,000,000 records,
#                            and one colour from the desktop's own picker
#   bench/run-picking.sh     Start to the painted picking window, pointer
#                            movement (also with the loupe), pick and
#                            memory, tintaro --pick to its frozen image,
#                            at 1920x1080 and 3840x2160; and on Wayland (headless sway and
#                            the desktop portal) at 1920x1080, with where
#                            the time to the frozen image goes; and on a
#                            headless GNOME Shell at 1280x1024
#   bench_color              every CSS form of a colour, the nearest name, a
#                            100,000-colour palette read, and the export of
#                            1,000,000 colours to each format (whole process)
#   bench_scheme             saving and deleting a set among 10,000, the
#                            contrast table, the nearest passing colour, the
#                            command line's check of all 10,000 sets, and the
#                            code view to its first paint
# Timings depend on the machine and on what else runs on it: run this on an
# otherwise quiet machine. The exit status is 0 when every figure was
# measured and meets its target.
set -u

# shellcheck source=setup.sh
. "$(dirname "$0")/setup.sh"
# shellcheck source=xsession.sh
. "$TINTARO_ROOT/scripts/xsession.sh"

# shellcheck disable=SC2086
ensure_packages $TINTARO_RUN_PACKAGES xvfb xauth x11-utils || {
    echo "bench.sh: cannot install the Debian packages it needs" >&2
    exit 1
}

build=$TINTARO_ROOT/build/bench
say "building the benchmarks in $build (Release)"
configure_and_build "$build" Release -DTINTARO_BUILD_BENCH=ON -DBUILD_TESTING=OFF ||
    { echo "bench.sh: the build failed" >&2; exit 1; }
results=$build/results
mkdir -p "$results"
rm -f "$results"/*.log

# A private work folder and HOME for the programs run here directly.
e2e_begin "bench"

# run_logged NAME COMMAND...: runs COMMAND, its output to $results/NAME.log
# and, indented, to the terminal.
run_logged()
{
    local name=$1 status
    shift
    say "running $name"
    "$@" 2>&1 | tee "$results/$name.log" | sed 's/^/    /'
    status=${PIPESTATUS[0]}
    [ "$status" -eq 0 ] || say "$name ended with status $status"
    return 0
}

run_logged startup "$TINTARO_ROOT/bench/run-startup.sh" "$build/bench/bench_startup" --runs 10

# bench_mainwindow and bench_scheme on one private X server of their own.
e2e_start_x
run_logged mainwindow "$build/bench/bench_mainwindow"
run_logged scheme "$build/bench/bench_scheme"
run_logged color "$build/bench/bench_color"
e2e_stop_pid "$e2e_xvfb_pid"
e2e_xvfb_pid=""
unset DISPLAY

if [ -x "$TINTARO_ROOT/bench/run-picking.sh" ] && [ -x "$build/bench/bench_picking" ]; then
    run_logged picking "$TINTARO_ROOT/bench/run-picking.sh" "$build/bench/bench_picking" \
        --screen 1920x1080 --screen 3840x2160
    # shellcheck disable=SC2086
    if ensure_packages $TINTARO_TEST_PACKAGES; then
        run_logged picking_openbox "$TINTARO_ROOT/bench/run-picking.sh" "$build/bench/bench_picking" \
            --wm openbox --screen 1920x1080
        run_logged picking_wayland "$TINTARO_ROOT/bench/run-picking.sh" "$build/bench/bench_picking" \
            --wayland --screen 1920x1080
        run_logged picking_gnome "$TINTARO_ROOT/bench/run-picking.sh" "$build/bench/bench_picking" --gnome
    else
        : >"$results/picking_openbox.log"
        : >"$results/picking_wayland.log"
        : >"$results/picking_gnome.log"
    fi
else
    say "no picking benchmark (bench/run-picking.sh and bench_picking): its figures stay empty"
    : >"$results/picking.log"
    : >"$results/picking_openbox.log"
    : >"$results/picking_wayland.log"
    : >"$results/picking_gnome.log"
fi

# ---- figures --------------------------------------------------------------
# first_number LOG SED_EXPRESSION: the first number that the expression
# (which prints the captured number) finds in LOG.
first_number() { sed -n -E "$2" "$1" | head -n 1; }

log=$results/startup.log
startup_empty=$(first_number "$log" 's/^empty mycolor\.rgb +start to first paint: median +([0-9.]+) ms.*/\1/p')
startup_large=$(first_number "$log" 's/^60 MB mycolor\.rgb +start to first paint: median +([0-9.]+) ms.*/\1/p')
startup_diff=$(first_number "$log" 's/^difference \(60 MB - empty\): ([-+0-9.]+) ms.*/\1/p')
idle_kb=$(first_number "$log" 's/^empty mycolor\.rgb .*idle resident memory: median ([0-9]+) kB.*/\1/p')

# QTest's benchmark result: the line after "RESULT : Class::function():".
qtest_result()
{
    awk -v fn="$2" '
        found && /msecs per iteration/ { print $1; exit }
        index($0, "RESULT : ") == 1 && index($0, "::" fn "()") { found = 1 }
    ' "$1"
}
log=$results/mainwindow.log
fill_ms=$(qtest_result "$log" fillPaletteFullPage)
# Each round of the page benchmark is two page changes, ">" then "<".
page_round_ms=$(qtest_result "$log" pageChange)
page_ms=$([ -n "$page_round_ms" ] && awk -v r="$page_round_ms" 'BEGIN { printf "%.4f", r / 2 }')
delete_ms=$(first_number "$log" 's/.*delete one record of 1,000,000: ([0-9.]+) ms.*/\1/p')
clean_ms=$(first_number "$log" 's/.*clean 1,000,000 records, half duplicates: ([0-9.]+) ms.*/\1/p')
picker_ms=$(qtest_result "$log" pickerAnswer)

log=$results/scheme.log
set_save_ms=$(first_number "$log" 's/.*save a set after 10,000: median ([0-9.]+) ms.*/\1/p')
set_delete_ms=$(first_number "$log" 's/.*delete the middle set of 10,001: median ([0-9.]+) ms.*/\1/p')
codeview_ms=$(first_number "$log" 's/.*code view, press to first paint: median ([0-9.]+) ms.*/\1/p')
contrast_table_ms=$(qtest_result "$log" contrastTable)
log=$results/color.log
forms_ms=$(qtest_result "$log" allForms)
name_ms=$(qtest_result "$log" nearestNamedColour)
import_ms=$(qtest_result "$log" importGpl100k)
export_ms() { first_number "$results/color.log" "s/.*export of 1,000,000 user colours as $1, whole process: median ([0-9.]+) ms.*/\\1/p"; }
log=$results/scheme.log
# Each iteration finds six nearest passing colours.
nearest_six_ms=$(qtest_result "$log" nearestPassingColour)
nearest_ms=$([ -n "$nearest_six_ms" ] && awk -v r="$nearest_six_ms" 'BEGIN { printf "%.4f", r / 6 }')
check_all_ms=$(first_number "$log" 's/.*check-set all over 10,000 sets, whole process: median ([0-9.]+) ms.*/\1/p')

# The picking benchmark's lines for one screen size: from its
# "bench_picking: screen WxH" line to the next one.
picking_part()
{
    awk -v size="$1" '
        /^bench_picking: screen / { on = index($0, "screen " size " ") > 0 }
        on
    ' "${picking_log:-$results/picking.log}"
}
# picking_figures WxH START MOVE PICK MEMORY RATIO: sets the five named
# variables from that screen size's lines.
# shellcheck disable=SC2034
picking_figures()
{
    local part
    part=$(picking_part "$1")
    local -n start=$2 move=$3 pick=$4 mem=$5 ratio=$6
    start=$(sed -n -E 's/^\(a\) .*: median ([0-9.]+) ms.*/\1/p' <<<"$part" | head -n 1)
    move=$(sed -n -E 's/^\(b\) .*: median ([0-9.]+) ms.*/\1/p' <<<"$part" | head -n 1)
    pick=$(sed -n -E 's/^\(c\) .*: median ([0-9.]+) ms.*/\1/p' <<<"$part" | head -n 1)
    mem=$(sed -n -E 's/^\(d\) .*difference ([-0-9.]+) MB = .*/\1/p' <<<"$part" | head -n 1)
    ratio=$(sed -n -E 's/^\(d\) .*difference [-0-9.]+ MB = ([-0-9.]+) x .*/\1/p' <<<"$part" | head -n 1)
}
picking_figures 1920x1080 start_hd move_hd pick_hd mem_hd ratio_hd
move_checked_hd=$(picking_part 1920x1080 | sed -n -E 's/^\(b2\) .*: median ([0-9.]+) ms.*/\1/p' | head -n 1)
move_detailed_hd=$(picking_part 1920x1080 | sed -n -E 's/^\(b3\) .*: median ([0-9.]+) ms.*/\1/p' | head -n 1)
picking_figures 3840x2160 start_4k move_4k pick_4k mem_4k ratio_4k
move_loupe_4k=$(picking_part 3840x2160 | sed -n -E 's/^\(b5\) .*: median ([0-9.]+) ms.*/\1/p' | head -n 1)
move_loupe_hd=$(picking_part 1920x1080 | sed -n -E 's/^\(b5\) .*: median ([0-9.]+) ms.*/\1/p' | head -n 1)
pick_start_hd=$(picking_part 1920x1080 | sed -n -E 's/^\(a3\) .*: median ([0-9.]+) ms.*/\1/p' | head -n 1)
mem_loupe_hd=$(picking_part 1920x1080 | sed -n -E 's/^\(d2\) .*: ([-0-9.]+) MB above.*/\1/p' | head -n 1)
ratio_loupe_hd=$(picking_part 1920x1080 | sed -n -E 's/^\(d2\) .* = ([-0-9.]+) x the image.*/\1/p' | head -n 1)
picking_log=$results/picking_openbox.log
picking_figures 1920x1080 start_openbox move_openbox pick_openbox mem_openbox ratio_openbox
picking_log=$results/picking_wayland.log
picking_figures 1920x1080 start_way move_way pick_way mem_way ratio_way
picking_log=$results/picking_gnome.log
picking_figures 1280x1024 start_gnome move_gnome pick_gnome mem_gnome ratio_gnome
log=$results/picking_wayland.log
arrival_way=$(first_number "$log" 's/^\(a1\) .*arrival.*: median ([0-9.]+) ms;.*/\1/p')
paint_way=$(first_number "$log" 's/^\(a1\) .*first paint after it: median ([-0-9.]+) ms.*/\1/p')
decode_way=$(first_number "$log" 's/^\(a2\) .*: median ([0-9.]+) ms.*/\1/p')

# ---- the table ----------------------------------------------------------
rows=()
missed=0
unmeasured=0
# row FIGURE VALUE UNIT LIMIT [SCALE]: VALUE (in UNIT) against "at most
# LIMIT"; no LIMIT means a figure without a target.
row()
{
    local figure=$1 value=$2 unit=$3 limit=${4:-} measured ok target
    if [ -z "$value" ]; then
        measured="not measured"
        ok="?"
        unmeasured=$((unmeasured + 1))
    else
        measured="$value $unit"
        ok=""
    fi
    if [ -n "$limit" ]; then
        target="≤ $limit $unit"
        if [ -n "$value" ]; then
            if awk -v v="$value" -v l="$limit" 'BEGIN { exit !(v + 0 <= l + 0) }'; then
                ok="yes"
            else
                ok="NO"
                missed=$((missed + 1))
            fi
        fi
    else
        target="—"
        [ -z "$value" ] || ok="—"
    fi
    rows+=("$figure|$measured|$target|$ok")
}
mb() { [ -n "$1" ] && awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
# image_mb W H [FACTOR]: FACTOR (1) times one WxH image of 4-byte pixels, in MB.
image_mb() { awk -v w="$1" -v h="$2" -v f="${3:-1}" 'BEGIN { printf "%.1f", f * w * h * 4 / 1048576 }'; }
# ratio_row FIGURE MB RATIO W H: memory above idle as a multiple of one
# WxH image, target 1.5 x.
ratio_row()
{
    local figure=$1 mbytes=$2 ratio=$3 w=$4 h=$5 ok
    if [ -z "$ratio" ]; then
        rows+=("$figure|not measured|≤ 1.5 × image ($(image_mb "$w" "$h" 1.5) MB)|?")
        unmeasured=$((unmeasured + 1))
        return
    fi
    if awk -v r="$ratio" 'BEGIN { exit !(r + 0 <= 1.5) }'; then ok=yes; else ok=NO; missed=$((missed + 1)); fi
    rows+=("$figure|$mbytes MB = $ratio × image|≤ 1.5 × image ($(image_mb "$w" "$h" 1.5) MB)|$ok")
}

row "start-up to first paint, empty mycolor.rgb (median of 10)" "$startup_empty" ms
row "start-up to first paint, 60 MB mycolor.rgb (median of 10)" "$startup_large" ms
row "difference of the two" "${startup_diff#+}" ms 10
row "FillPalette, a full page of 144 swatches" "$fill_ms" ms 0.5
row "page change (> or <)" "$page_ms" ms 1
row "clean 1,000,000 records, half duplicates" "$clean_ms" ms 1000
row "delete one record of 1,000,000" "$delete_ms" ms 300
row "pointer movement while picking, 1920x1080 (median)" "$move_hd" ms 0.1
row "pointer movement while picking, 3840x2160 (median)" "$move_4k" ms 0.1
row "pick, 1920x1080 (median)" "$pick_hd" ms 1
row "pick, 3840x2160 (median)" "$pick_4k" ms 1
row "Start to the painted picking window, 1920x1080 (median)" "$start_hd" ms 100
row "Start to the painted picking window, 3840x2160 (median)" "$start_4k" ms 250
row "openbox: Start to the painted picking window, main window above it, 1920x1080 (median)" "$start_openbox" ms 100
row "save a set among 10,000 (median)" "$set_save_ms" ms 50
row "delete a set among 10,000 (median)" "$set_delete_ms" ms 50
row "code view, press to first paint (median)" "$codeview_ms" ms 20
row "contrast table worked out anew on a colour change" "$contrast_table_ms" ms 0.05
row "nearest passing colour (mean of six hard cases)" "$nearest_ms" ms 1
row "tintaro --check-set all over 10,000 sets, whole process (median of 5)" "$check_all_ms" ms 1000
row "pointer movement with the contrast check open, 1920x1080 (median)" "$move_checked_hd" ms 0.1
row "pointer movement with the contrast check and colour details open, 1920x1080 (median)" "$move_detailed_hd" ms 0.1
row "pointer movement to an updated loupe (8x), 3840x2160 (median)" "$move_loupe_4k" ms 0.3
row "pointer movement to an updated loupe (8x), 1920x1080 (median)" "$move_loupe_hd" ms
row "tintaro --pick, process start to the frozen image painted, 1920x1080 (median of 5)" "$pick_start_hd" ms 300
row "every CSS form of one colour" "$forms_ms" ms 0.02
row "nearest named colour" "$name_ms" ms 0.01
row "a 100,000-colour GIMP palette read" "$import_ms" ms 1000
for format in gpl css scss tokens ase hex; do
    row "export of 1,000,000 user colours as $format, whole process (median of 3)" "$(export_ms $format)" ms 2000
done
row "idle memory after start-up (resident)" "$(mb "$idle_kb")" MB
ratio_row "picking memory above idle, 1920x1080" "$mem_hd" "$ratio_hd" 1920 1080
ratio_row "picking memory above idle, 3840x2160" "$mem_4k" "$ratio_4k" 3840 2160
ratio_row "picking memory with the loupe shown, 1920x1080" "$mem_loupe_hd" "$ratio_loupe_hd" 1920 1080
row "Wayland: end of the wait to the painted frozen image, 1920x1080 (median)" "$start_way" ms 300
row "  of which the portal's answer with its image, decoded (median)" "$arrival_way" ms
row "  of which decoding the portal's PNG alone (median)" "$decode_way" ms
row "  of which the first paint (median)" "$paint_way" ms
row "Wayland: pointer movement while picking, 1920x1080 (median)" "$move_way" ms 0.1
ratio_row "Wayland: picking memory above idle, 1920x1080" "$mem_way" "$ratio_way" 1920 1080
row "GNOME: end of the wait to the painted frozen image, 1280x1024 (median)" "$start_gnome" ms 300
row "desktop's picker: one colour's answer to the record and readout" "$picker_ms" ms 5

# A Markdown table, its columns padded to line up in a terminal.
print_table()
{
    local header="figure|measured|target|ok"
    printf '%s\n' "$header" "${rows[@]}" | awk -F'|' '
        # Characters, not bytes: UTF-8 continuation bytes take no room.
        function cols(s) { gsub(/[\200-\277]/, "", s); return length(s) }
        function pad(s, w) { while (cols(s) < w) s = s " "; return s }
        { n = NR; for (i = 1; i <= 4; i++) { cell[n, i] = $i; w = cols($i); if (w > width[i]) width[i] = w } }
        END {
            for (r = 1; r <= n; r++) {
                line = "|"
                for (i = 1; i <= 4; i++) line = line " " pad(cell[r, i], width[i]) " |"
                print line
                if (r == 1) {
                    line = "|"
                    for (i = 1; i <= 4; i++) { dash = sprintf("%" width[i] "s", ""); gsub(/ /, "-", dash); line = line " " dash " |" }
                    print line
                }
            }
        }'
}

echo
say "figures on $(uname -n), $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC'); logs in $results"
echo
print_table
echo
echo "bench: $((${#rows[@]} - missed - unmeasured)) figures measured and within target (or without one), $missed missed, $unmeasured not measured"
[ "$missed" -eq 0 ] && [ "$unmeasured" -eq 0 ]
