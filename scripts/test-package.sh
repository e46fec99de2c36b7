#!/usr/bin/env bash
# Builds the Debian package (build/pkg, Release, prefix /usr) and checks its
# files, the validators of its desktop entry and metainfo, a simulated apt
# install, and that the unpacked tree starts from the desktop entry's Exec
# line with a new HOME on a private X server. As root with CI=true it also
# installs, starts and purges it. Last line: "package: N passed, M failed".
set -u
umask 022
# shellcheck source=setup.sh
. "$(dirname "$0")/setup.sh"
# shellcheck source=xsession.sh
. "$TINTARO_ROOT/scripts/xsession.sh"
ensure_packages $TINTARO_RUN_PACKAGES $TINTARO_TEST_PACKAGES || { echo "test-package.sh: cannot install packages" >&2; exit 1; }

readonly APP_ID=org.tintaro.Tintaro SHIPPED="websafe.rgb set.dat colorset.dat help.htm"
shared="applications/$APP_ID.desktop metainfo/$APP_ID.metainfo.xml icons/hicolor/scalable/apps/$APP_ID.svg $(printf 'tintaro/%s ' $SHIPPED)"
build=$TINTARO_ROOT/build/pkg
say "building the Debian package in $build"
configure_and_build "$build" Release -DBUILD_TESTING=OFF -DTINTARO_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr || exit 1
rm -f "$build"/tintaro_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
deb=$(echo "$build"/tintaro_*.deb)

passed=0 failed=0 installed=no
# check DESCRIPTION COMMAND...: counts COMMAND's outcome; a failure shows what it left in $seen.
check() { local what=$1; shift; seen=""; if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $what${seen:+ (saw: $seen)}" >&2; fi; }
e2e_begin package
finish()
{
    # A failed wait (e2e_fail) counts as a failure; an installed package goes.
    [ $? = 0 ] || failed=$((failed + 1))
    trap - EXIT
    [ "$installed" = no ] || apt-get remove -y -qq --purge tintaro >/dev/null 2>&1
    echo "package: $passed passed, $failed failed"
    (exit $((failed > 0)))
    e2e_cleanup
}
trap finish EXIT

listed() { seen=$(diff <(dpkg-deb --contents "$deb" | awk '$6 !~ /\/$/ { print $1, $2, $6 }' | sort) <({
    printf -- '-rwxr-xr-x root/root ./usr/%s\n' bin/tintaro libexec/tintaro/tintaro
    printf -- '-rw-r--r-- root/root ./usr/share/%s\n' $shared doc/tintaro/copyright; } | sort) | grep '^[<>]' | tr '\n' ' '); [ -z "$seen" ]; }
check "the package holds the program, the launcher, the data, the desktop entry, the metainfo, the icon and the copyright" listed
depends() { seen=$(dpkg-deb --field "$deb" Depends); grep -q libqt6widgets6 <<<"$seen" && grep -q qt6-qpa-plugins <<<"$seen" && grep -q qt6-wayland <<<"$seen"; }
check "Depends names the Qt libraries and the Qt platform plugins, Wayland's too" depends
root=$e2e_work/root usr=$e2e_work/root/usr
dpkg-deb -x "$deb" "$root" || exit 1
for f in $shared; do check "usr/share/$f is the shipped one" cmp -s "$TINTARO_ROOT/data/${f##*/}" "$usr/share/$f"; done
# The copyright file's licence, its indenting undone, is LICENSE's, title aside.
licensed() { seen=$(sed -n '/^License: MIT$/,$p' "$usr/share/doc/tintaro/copyright" | tail -n +2 | sed 's/^ //; s/^\.$//');
    [ "$seen" = "$(tail -n +3 "$TINTARO_ROOT/LICENSE")" ] && grep -q '^Copyright: 2026 Tintaro Project$' "$usr/share/doc/tintaro/copyright"; }
check "the copyright file carries LICENSE" licensed
# Warnings, hints and remarks fail as errors do.
validates() { seen=$("$@" 2>&1) && ! grep -Eq '(^|: )(error|warning|hint): |^[EWI]: ' <<<"$seen"; }
check "desktop-file-validate" validates desktop-file-validate "$usr/share/applications/$APP_ID.desktop"
check "appstreamcli validate" validates appstreamcli validate --no-net "$usr/share/metainfo/$APP_ID.metainfo.xml"
check "appstreamcli validate-tree (launchable, icon)" validates appstreamcli validate-tree --no-net "$root"
simulated() { seen=$(LC_ALL=C apt-get install --simulate "$deb" 2>&1) && grep -q '^Inst tintaro ' <<<"$seen"; }
check "apt-get install --simulate resolves the dependencies" simulated

e2e_start_x
not_dialog() { seen=$(xprop -id "$1" _NET_WM_WINDOW_TYPE); ! grep -q DIALOG <<<"$seen"; }
runs() { seen="$(readlink "/proc/$1/exe") in $(readlink "/proc/$1/cwd")"; [ "$seen" = "$(realpath "$2") in $(realpath "$3")" ]; }
# start_from LABEL DESKTOP_FILE PROGRAM PATH: its Exec line, on PATH, with a
# new HOME, starts PROGRAM in the default data folder it prepared.
start_from()
{
    local words pid datadir=$e2e_work/home-$1/.local/share/tintaro f
    read -r -a words <<<"$(sed -n 's/^Exec=//p' "$2" | head -n 1 | sed 's/ %[fFuU]//g')"
    e2e_start_app "$e2e_work" env -u XDG_DATA_HOME HOME="$e2e_work/home-$1" PATH="$4" "${words[@]}"
    e2e_wait_window Tintaro2.0 30
    pid=$(cat "$e2e_work/app.pid")
    check "$1: the main window appears" not_dialog "$e2e_window"
    check "$1: $3 runs in $datadir" runs "$pid" "$3" "$datadir"
    for f in $SHIPPED; do check "$1: $f prepared" cmp -s "${3%/libexec/*}/share/tintaro/$f" "$datadir/$f"; done
    e2e_stop_pid "$pid"
}
start_from unpacked "$usr/share/applications/$APP_ID.desktop" "$usr/libexec/tintaro/tintaro" "$usr/bin:$PATH"

if [ "$(id -u)" = 0 ] && [ "${CI:-}" = true ]; then
    apt_quiet() { seen=$(DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@" 2>&1) || { seen=$(tail -n 3 <<<"$seen"); false; }; }
    purged() { apt_quiet remove --purge tintaro && { seen=$(ls -d /usr/bin/tintaro /usr/libexec/tintaro /usr/share/tintaro 2>/dev/null); [ -z "$seen" ]; }; }
    installed=yes
    check "apt-get install" apt_quiet install "$deb"
    start_from installed /usr/share/applications/$APP_ID.desktop /usr/libexec/tintaro/tintaro "$PATH"
    check "apt-get remove --purge leaves none of the package's files" purged
else
    say "skipped the real install: it runs only as root with CI=true"
fi
