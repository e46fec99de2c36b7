#!/usr/bin/env bash
# Builds the Debian package (build/pkg, Release, prefix /usr) and checks it:
#   - its control fields and its list of files, their owners and modes, and
#     that nothing of the source or build tree went into it;
#   - that apt can resolve its dependencies here (a simulated install);
#   - the installed desktop entry and AppStream metadata, with their
#     validators, on a tree unpacked into a temporary folder;
#   - that the unpacked tree starts the way the desktop entry's Exec line
#     says (PATH holding the unpacked usr/bin), on a private X server with a
#     temporary HOME: the data folder ~/.local/share/tintaro is prepared,
#     the window "Tintaro2.0" appears, the program runs inside that folder,
#     and a second start leaves the user's files as they are.
# As root with CI=true it also installs the package for real with apt,
# starts `tintaro` from PATH the same way, and purges the package again.
#
# Installs missing Debian packages first, as the other scripts do. The last
# line is "package: N passed, M failed"; the exit status is 0 only when
# nothing failed.
set -u
umask 022

# shellcheck source=setup.sh
. "$(dirname "$0")/setup.sh"
# shellcheck source=../tests/e2e/xsession.sh
. "$TINTARO_ROOT/tests/e2e/xsession.sh"

# shellcheck disable=SC2086
ensure_packages $TINTARO_RUN_PACKAGES $TINTARO_TEST_PACKAGES dpkg-dev || {
    echo "test-package.sh: cannot install the Debian packages it needs" >&2
    exit 1
}

readonly APP_ID=org.tintaro.Tintaro
readonly MAIN_TITLE="Tintaro2.0"
readonly SHIPPED="websafe.rgb set.dat colorset.dat help.htm"
build=$TINTARO_ROOT/build/pkg
source_data=$TINTARO_ROOT/data

passed=0
failed=0
# check DESCRIPTION COMMAND...: counts COMMAND's outcome; a failure is
# reported with DESCRIPTION and whatever was left in $seen.
seen=""
check()
{
    local what=$1
    shift
    seen=""
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL: %s%s\n' "$what" "${seen:+ (saw: $seen)}" >&2
    fi
}
finished=no
finish()
{
    finished=yes
    echo "package: $passed passed, $failed failed"
    [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
    exit $?
}

# ---- build ---------------------------------------------------------------
say "building the Debian package in $build"
configure_and_build "$build" Release -DBUILD_TESTING=OFF -DTINTARO_BUILD_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr || { echo "test-package.sh: the build failed" >&2; exit 1; }
rm -f "$build"/tintaro_*.deb
if ! (cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1); then
    cat "$build/cpack.log" >&2
    echo "test-package.sh: cpack failed" >&2
    exit 1
fi
debs=("$build"/tintaro_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] ||
    { echo "test-package.sh: expected one tintaro_*.deb in $build, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
say "checking $(basename "$deb")"

# A private work folder (removed on every way out), with HOME and the XDG
# folders inside it.
e2e_begin "package"
installed_for_real=no
package_cleanup()
{
    local status=$?
    trap - EXIT
    # Ended by a failed wait (e2e_fail): that failure counts too.
    [ "$finished" = yes ] || echo "package: $passed passed, $((failed + 1)) failed"
    if [ "$installed_for_real" = yes ]; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq --purge tintaro >/dev/null 2>&1
    fi
    (exit "$status")
    e2e_cleanup
}
trap package_cleanup EXIT

# ---- control fields ------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1" 2>/dev/null; }
field_is()
{
    seen=$(field "$1")
    [ "$seen" = "$2" ]
}
check "the file is named tintaro_${version}_${arch}.deb" test "$(basename "$deb")" = "tintaro_${version}_${arch}.deb"
check "dpkg-deb --info reads the package" sh -c 'dpkg-deb --info "$1" >/dev/null' sh "$deb"
check "Package: tintaro" field_is Package tintaro
check "Version: $version" field_is Version "$version"
check "Architecture: $arch" field_is Architecture "$arch"
check "Section: graphics" field_is Section graphics
check "Priority: optional" field_is Priority optional
check "Homepage: https://tintaro.org" field_is Homepage https://tintaro.org
maintainer_ok() { seen=$(field Maintainer); printf '%s\n' "$seen" | grep -Eq '^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$'; }
check "Maintainer is a name and an address" maintainer_ok
# The summary on the first line, short; the extended description below it,
# each line indented, paragraphs parted by " .".
description_ok()
{
    local text summary
    text=$(field Description)
    summary=$(printf '%s\n' "$text" | head -n 1)
    seen=$text
    [ -n "$summary" ] && [ ${#summary} -le 80 ] &&
        [ "$(printf '%s\n' "$text" | sed 1d | grep -c .)" -ge 3 ] &&
        ! printf '%s\n' "$text" | sed 1d | grep -qv '^ ' &&
        printf '%s\n' "$text" | grep -qx ' \.' &&
        printf '%s\n' "$text" | grep -q 'web-safe'
}
check "Description: a summary and an extended description" description_ok
installed_size_ok() { seen=$(field Installed-Size); [ -n "$seen" ] && [ "$seen" -gt 100 ]; }
check "Installed-Size is given" installed_size_ok

depends=$(field Depends)
# depends_on NAME: NAME is one of the Depends alternatives.
depends_on()
{
    seen=$depends
    printf '%s\n' "$depends" | tr ',|' '\n\n' | sed 's/^ *//; s/ .*//' | grep -qx "$1"
}
# Found by dpkg-shlibdeps from what the program links...
for pkg in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6; do
    check "Depends names $pkg" depends_on "$pkg"
done
# ...and named by hand: what Qt loads at run time, and the fonts.
for pkg in qt6-qpa-plugins fonts-dejavu-core fonts-liberation2; do
    check "Depends names $pkg" depends_on "$pkg"
done
check "Recommends names xdg-utils (Help opens its page through xdg-open)" field_is Recommends xdg-utils

control=$e2e_work/control
mkdir -p "$control"
dpkg-deb --control "$deb" "$control/DEBIAN"
control_files_are()
{
    seen=$(cd "$control/DEBIAN" && ls | tr '\n' ' ')
    [ "$seen" = "control md5sums " ]
}
check "the control part holds control and md5sums only (no maintainer scripts)" control_files_are

# ---- contents ------------------------------------------------------------
# Every entry of the data part: MODE OWNER PATH, sorted.
contents=$(dpkg-deb --contents "$deb" | awk '{ print $1, $2, $6 }' | sort -k3)
dir() { printf 'drwxr-xr-x root/root ./%s/\n' "$1"; }
expected=$(
    for d in usr usr/bin usr/libexec usr/libexec/tintaro usr/share usr/share/applications \
        usr/share/icons usr/share/icons/hicolor usr/share/icons/hicolor/scalable \
        usr/share/icons/hicolor/scalable/apps usr/share/metainfo usr/share/tintaro; do
        dir "$d"
    done
    printf -- '-rwxr-xr-x root/root ./usr/bin/tintaro\n'
    printf -- '-rwxr-xr-x root/root ./usr/libexec/tintaro/tintaro\n'
    printf -- '-rw-r--r-- root/root ./usr/share/applications/%s.desktop\n' "$APP_ID"
    printf -- '-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/%s.svg\n' "$APP_ID"
    printf -- '-rw-r--r-- root/root ./usr/share/metainfo/%s.metainfo.xml\n' "$APP_ID"
    for f in $SHIPPED; do printf -- '-rw-r--r-- root/root ./usr/share/tintaro/%s\n' "$f"; done
)
expected=$(printf '%s\n' "$expected" | sort -k3)
contents_are_expected()
{
    [ "$contents" = "$expected" ] && return 0
    seen=$(diff <(printf '%s\n' "$expected") <(printf '%s\n' "$contents") | grep '^[<>]' |
        sed 's/^</missing:/; s/^>/unexpected:/' | tr '\n' ';')
    return 1
}
check "dpkg-deb --contents lists exactly the expected files, root-owned, with the usual modes" \
    contents_are_expected

# The unpacked tree, for the checks on what the files hold and for the start.
unpack_root=$e2e_work/root
mkdir -p "$unpack_root"
dpkg-deb -x "$deb" "$unpack_root" || { echo "test-package.sh: dpkg-deb -x failed" >&2; exit 1; }
usr=$unpack_root/usr

md5sums_match() { seen=$(cd "$unpack_root" && md5sum --quiet -c "$control/DEBIAN/md5sums" 2>&1); }
check "every file matches its md5sums entry" md5sums_match
for f in $SHIPPED; do
    check "usr/share/tintaro/$f is the shipped $f" cmp -s "$source_data/$f" "$usr/share/tintaro/$f"
done
check "the desktop entry is the shipped one" cmp -s "$source_data/$APP_ID.desktop" "$usr/share/applications/$APP_ID.desktop"
check "the metainfo is the shipped one" cmp -s "$source_data/$APP_ID.metainfo.xml" "$usr/share/metainfo/$APP_ID.metainfo.xml"
check "the icon is the shipped one" cmp -s "$source_data/$APP_ID.svg" "$usr/share/icons/hicolor/scalable/apps/$APP_ID.svg"

launcher=$usr/bin/tintaro
program=$usr/libexec/tintaro/tintaro
check "the launcher is valid sh" sh -n "$launcher"
check "the launcher falls back to /usr/libexec/tintaro/tintaro" grep -qxF "program='/usr/libexec/tintaro/tintaro'" "$launcher"
check "the launcher falls back to /usr/share/tintaro" grep -qxF "shipped='/usr/share/tintaro'" "$launcher"
no_build_paths()
{
    seen=$(grep -rlaF -e "$TINTARO_ROOT" "$unpack_root" 2>/dev/null | tr '\n' ' ')
    [ -z "$seen" ]
}
check "no file holds a path of the source or build tree ($TINTARO_ROOT)" no_build_paths
elf_ok()
{
    seen=$(readelf -h "$program" 2>&1 | sed -n 's/^ *Type: *//p')
    [ -n "$seen" ] && [ "${seen%% *}" = DYN ] || [ "${seen%% *}" = EXEC ]
}
check "the program is an ELF executable" elf_ok
no_runpath()
{
    seen=$(readelf -d "$program" 2>&1 | grep -E 'RPATH|RUNPATH')
    [ -z "$seen" ]
}
check "the program has no RPATH or RUNPATH" no_runpath
stripped() { ! readelf -S "$program" 2>/dev/null | grep -q '\.symtab'; }
check "the program is stripped" stripped
libs_found()
{
    seen=$(ldd "$program" 2>&1 | grep 'not found')
    [ -z "$seen" ]
}
check "every library the program needs is found here" libs_found

# ---- dependencies --------------------------------------------------------
simulate_install()
{
    local out
    out=$(LC_ALL=C apt-get install --simulate "$deb" 2>&1)
    local status=$?
    seen=$(printf '%s\n' "$out" | tail -n 5 | tr '\n' ' ')
    [ "$status" -eq 0 ] && printf '%s\n' "$out" | grep -q '^Inst tintaro '
}
check "apt-get install --simulate resolves every dependency" simulate_install
# Each group of alternatives has a package apt knows a version of.
group_available()
{
    local alt name
    IFS='|' read -r -a alts <<<"$1"
    for alt in "${alts[@]}"; do
        name=$(printf '%s\n' "$alt" | sed 's/^ *//; s/ .*//')
        apt-cache policy "$name" 2>/dev/null | grep -Eq 'Candidate: [^(]|Installed: [^(]' && return 0
    done
    seen="apt knows no version of $1"
    return 1
}
IFS=',' read -r -a groups <<<"$depends"
for group in "${groups[@]}"; do
    check "apt has a package for the dependency '$(printf '%s' "$group" | sed 's/^ *//')'" group_available "$group"
done

# ---- desktop integration, as installed -----------------------------------
validate() { sh "$TINTARO_ROOT/tests/data/validate.sh" "$@" >"$e2e_work/validate.log" 2>&1 || { seen=$(tr '\n' ' ' <"$e2e_work/validate.log"); return 1; }; }
check "desktop-file-validate passes the installed desktop entry" \
    validate desktop-file-validate "$usr/share/applications/$APP_ID.desktop"
check "appstreamcli validate passes the installed metainfo" \
    validate appstreamcli validate --no-net "$usr/share/metainfo/$APP_ID.metainfo.xml"
check "appstreamcli validate-tree passes the unpacked tree (launchable, icon)" \
    validate appstreamcli validate-tree --no-net "$unpack_root"

# desktop_key FILE KEY: the value of KEY in the [Desktop Entry] group.
desktop_key()
{
    awk -v key="$2" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$1"
}
desktop=$usr/share/applications/$APP_ID.desktop
icon_matches() { seen=$(desktop_key "$desktop" Icon); [ -f "$usr/share/icons/hicolor/scalable/apps/$seen.svg" ]; }
check "the desktop entry's Icon is the icon in the package" icon_matches

# exec_words FILE: the Exec line's words, field codes dropped, one a line.
# The entry's own Exec has no quoting; a quote here fails the check.
exec_words()
{
    local line word
    line=$(desktop_key "$1" Exec)
    case $line in *\"* | *\'* | *\\*) return 1 ;; esac
    for word in $line; do
        case $word in %[fFuUdDnNickvm]) continue ;; esac
        printf '%s\n' "$word"
    done
}

# ---- starting as the desktop does ------------------------------------------
e2e_need Xvfb xdotool xwininfo xprop
e2e_start_x
# The data folder is the default one below HOME.
unset XDG_DATA_HOME

# start_as_desktop DESKTOP_FILE PATH: runs the Exec line of DESKTOP_FILE with
# PATH, from a folder of no importance, as e2e_start_app does (app.pid,
# app.status, app.log); its pid goes to app_pid.
start_as_desktop()
{
    local desktop_file=$1 path=$2 words
    mapfile -t words < <(exec_words "$desktop_file")
    [ ${#words[@]} -gt 0 ] || e2e_fail "no Exec line that can be run in $desktop_file"
    mkdir -p "$e2e_work/elsewhere"
    rm -f "$e2e_work/app.pid" "$e2e_work/app.status"
    (
        cd "$e2e_work/elsewhere" || exit 1
        export PATH="$path"
        "${words[@]}" >>"$e2e_work/app.log" 2>&1 &
        echo $! >"$e2e_work/app.pid"
        wait $!
        echo $? >"$e2e_work/app.status.new"
        mv "$e2e_work/app.status.new" "$e2e_work/app.status"
    ) &
    e2e_app_wrapper_pid=$!
    e2e_wait_for 10 "the program to start" test -s "$e2e_work/app.pid"
    app_pid=$(cat "$e2e_work/app.pid")
}

stop_app()
{
    e2e_stop_pid "$app_pid"
    e2e_wait_for 10 "the program to end" test -e "$e2e_work/app.status"
    e2e_stop_pid "$e2e_app_wrapper_pid"
    e2e_app_wrapper_pid=""
    rm -f "$e2e_work/app.pid"
}

not_a_dialog()
{
    seen=$(xprop -id "$1" _NET_WM_WINDOW_TYPE 2>&1)
    ! printf '%s\n' "$seen" | grep -q _NET_WM_WINDOW_TYPE_DIALOG
}
links_to()
{
    seen=$(readlink "$1" 2>&1)
    [ "$seen" = "$2" ]
}
no_leftovers() { seen=$(find "$1" -name '.*' ! -name . -print | tr '\n' ' '); [ -z "$seen" ]; }

# started_check LABEL PROGRAM SHIPPED_DIR: the program started from the
# desktop entry is up: its window, its folder, its executable, its data.
started_check()
{
    local label=$1 expect_program=$2 shipped_dir=$3 datadir f
    datadir=$HOME/.local/share/tintaro
    e2e_wait_window "$MAIN_TITLE" 30
    check "$label: the window \"$MAIN_TITLE\" is the main window, not a message" not_a_dialog "$e2e_window"
    check "$label: the program runs inside $datadir" links_to "/proc/$app_pid/cwd" "$(cd "$datadir" && pwd -P)"
    check "$label: the program is $expect_program" links_to "/proc/$app_pid/exe" "$(readlink -f "$expect_program")"
    for f in $SHIPPED; do
        check "$label: $f prepared in the data folder" cmp -s "$shipped_dir/$f" "$datadir/$f"
    done
    check "$label: no temporary files left in the data folder" no_leftovers "$datadir"
}

# second_start_check LABEL PROGRAM SHIPPED_DIR: with the user's own version
# of every file in place, a second start changes none of them.
second_start_check()
{
    local label=$1 expect_program=$2 shipped_dir=$3 datadir f
    datadir=$HOME/.local/share/tintaro
    printf '"My brand"\r\n' >>"$datadir/set.dat"
    printf '%s' 000000FFFFFF0000FF800080FF0000008000 >>"$datadir/colorset.dat"
    printf '<!-- my notes -->\r\n' >>"$datadir/help.htm"
    { printf '123456'; tail -c +7 "$shipped_dir/websafe.rgb"; } >"$datadir/websafe.rgb.new" &&
        mv "$datadir/websafe.rgb.new" "$datadir/websafe.rgb"
    printf '%s' FF8000336699 >"$datadir/mycolor.rgb"
    mkdir -p "$e2e_work/saved"
    for f in $SHIPPED mycolor.rgb; do cp -p "$datadir/$f" "$e2e_work/saved/$f"; done

    start_as_desktop "$desktop_file_in_use" "$path_in_use"
    e2e_wait_window "$MAIN_TITLE" 30
    check "$label, second start: the program runs inside $datadir" links_to "/proc/$app_pid/cwd" "$(cd "$datadir" && pwd -P)"
    check "$label, second start: the program is $expect_program" links_to "/proc/$app_pid/exe" "$(readlink -f "$expect_program")"
    for f in $SHIPPED mycolor.rgb; do
        check "$label, second start: the user's $f is left as it was" cmp -s "$e2e_work/saved/$f" "$datadir/$f"
    done
    stop_app
}

# resolves NAME PATH: NAME is the launcher LAUNCHER on PATH.
resolves()
{
    seen=$(PATH=$2 command -v "$1")
    [ "$seen" = "$3" ]
}

# run_from LABEL DESKTOP_FILE PATH LAUNCHER PROGRAM SHIPPED_DIR: two starts
# from the Exec line of DESKTOP_FILE with PATH and a new HOME; the Exec line
# must find LAUNCHER, which must start PROGRAM with the data of SHIPPED_DIR.
run_from()
{
    local label=$1 launcher_path=$4 program_path=$5 shipped_dir=$6 first
    desktop_file_in_use=$2 path_in_use=$3
    export HOME=$e2e_work/home-$label
    mkdir -p "$HOME"
    first=$(exec_words "$desktop_file_in_use" | head -n 1)
    check "$label: Exec's '$first' is $launcher_path on that PATH" \
        resolves "$first" "$path_in_use" "$launcher_path"
    check "$label: TryExec is $launcher_path on that PATH" \
        resolves "$(desktop_key "$desktop_file_in_use" TryExec)" "$path_in_use" "$launcher_path"
    start_as_desktop "$desktop_file_in_use" "$path_in_use"
    started_check "$label" "$program_path" "$shipped_dir"
    stop_app
    second_start_check "$label" "$program_path" "$shipped_dir"
    say "$label: started twice from the desktop entry's Exec line"
}

say "starting the unpacked package under a private X server ($DISPLAY)"
run_from unpacked "$desktop" "$usr/bin:$PATH" "$launcher" "$program" "$usr/share/tintaro"

# ---- the real thing ------------------------------------------------------
if [ "$(id -u)" = 0 ] && [ "${CI:-}" = true ]; then
    say "installing the package with apt"
    if dpkg-query -W -f='${Status}' tintaro 2>/dev/null | grep -q 'install ok installed'; then
        echo "test-package.sh: note: a tintaro package was installed already; it is replaced and purged" >&2
    fi
    installed_for_real=yes
    install_ok()
    {
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$e2e_work/apt.log" 2>&1 ||
            { seen=$(tail -n 5 "$e2e_work/apt.log" | tr '\n' ' '); return 1; }
    }
    check "apt-get install ./$(basename "$deb")" install_ok
    is_installed() { dpkg-query -W -f='${Status} ${Version}' tintaro 2>/dev/null | grep -qx "install ok installed $version"; }
    check "dpkg knows tintaro $version as installed" is_installed
    if is_installed; then
        run_from installed /usr/share/applications/$APP_ID.desktop "$PATH" \
            /usr/bin/tintaro /usr/libexec/tintaro/tintaro /usr/share/tintaro
    fi
    purge_ok()
    {
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq --purge tintaro >"$e2e_work/apt.log" 2>&1 ||
            { seen=$(tail -n 5 "$e2e_work/apt.log" | tr '\n' ' '); return 1; }
    }
    check "apt-get remove --purge tintaro" purge_ok
    installed_for_real=no
    gone()
    {
        seen=$(ls -d /usr/bin/tintaro /usr/libexec/tintaro /usr/share/tintaro \
            /usr/share/applications/$APP_ID.desktop 2>/dev/null | tr '\n' ' ')
        [ -z "$seen" ] && ! dpkg-query -W -f='${Status}' tintaro 2>/dev/null | grep -q 'ok installed'
    }
    check "the purge leaves none of the package's files" gone
else
    say "skipped the real install with apt: it runs only as root with CI=true"
fi

finish
