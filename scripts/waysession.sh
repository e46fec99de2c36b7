# Shared by the Wayland end-to-end test and the benchmarks (bash, sourced):
# a headless sway with its own session bus, pipewire and the desktop portals,
# all run as an unprivileged user (sway refuses root) in e2e_begin's work
# folder, which that user then owns. e2e_cleanup stops all of it.
# Debian packages: sway grim wtype wayvnc jq pipewire qt6-wayland
# xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk libwlroots-examples.
# way_pointer and swaymsg take layout (logical) coordinates; grim's images
# and way_pattern's are in physical pixels.

# shellcheck source=xsession.sh
. "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

way_user=nobody way_group=nogroup way_env=()

# way_run COMMAND...: COMMAND as the session's user, in the session.
way_run() { setpriv --reuid="$way_user" --regid="$way_group" --clear-groups env "${way_env[@]}" "$@"; }
way_msg() { way_run swaymsg "$@" >/dev/null || e2e_fail "swaymsg $* failed"; }
# way_bg COMMAND...: way_run in the background, stopped by e2e_cleanup.
way_bg()
{
    setpriv --reuid="$way_user" --regid="$way_group" --clear-groups env "${way_env[@]}" "$@" >>"$e2e_work/session.log" 2>&1 &
    e2e_extra_pids=("$!" "${e2e_extra_pids[@]}")
}
way_has_name() { way_run gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true; }

# way_start [SCALE]: sway with one output, HEADLESS-1, 1280x1024 at SCALE (1).
way_start()
{
    e2e_need sway swaymsg grim wtype wayvnc jq pipewire dbus-run-session gdbus setpriv perl
    # xdg-desktop-portal-wlr always has grim write /tmp/out.png.
    [ ! -e /tmp/out.png ] || setpriv --reuid="$way_user" --regid="$way_group" --clear-groups test -w /tmp/out.png ||
        e2e_fail "the screenshot portal writes /tmp/out.png, which $way_user cannot overwrite"
    local run=$e2e_work/run
    # No bar, no X server; sway's default borders and title bars stay. (Seat
    # settings only here: changing a seat later drops the virtual devices.)
    printf '%s\n' 'xwayland disable' >"$e2e_work/sway.conf"
    : >"$e2e_work/session.log"
    chown -R "$way_user:$way_group" "$e2e_work"
    way_env=(HOME="$HOME" XDG_RUNTIME_DIR="$run" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_CACHE_HOME="$XDG_CACHE_HOME"
        XDG_DATA_HOME="$XDG_DATA_HOME" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
        XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland NO_AT_BRIDGE=1 GTK_A11Y=none)
    # The bus lives as long as sway, which takes the shell's pid.
    way_bg dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$1/bus.new" && mv "$1/bus.new" "$1/bus" &&
        echo $$ >"$1/sway.pid" && exec sway -c "$1/sway.conf"' sh "$e2e_work"
    e2e_wait 20 "sway to start" eval 'seen=$(ls "$run"); [ -s "$e2e_work/sway.pid" ] &&
        ls "$run"/sway-ipc.*.sock "$run"/wayland-? >/dev/null 2>&1'
    e2e_extra_pids=("$(cat "$e2e_work/sway.pid")" "${e2e_extra_pids[@]}")
    way_env+=(DBUS_SESSION_BUS_ADDRESS="$(cat "$e2e_work/bus")" SWAYSOCK="$(ls "$run"/sway-ipc.*.sock)"
        WAYLAND_DISPLAY="$(basename "$(ls "$run"/wayland-? | head -n 1)")")
    e2e_wait 10 "sway to answer" eval 'way_run swaymsg -t get_outputs >/dev/null 2>&1'
    way_msg output HEADLESS-1 mode 1280x1024 pos 0 0 scale "${1:-1}"
    # The headless seat has no devices, so clients bind no pointer or keyboard:
    # wayvnc (listening on a private socket only) holds a virtual pointer and
    # keyboard for the whole session, before any client starts.
    way_bg wayvnc -u "$run/vnc.sock"
    e2e_wait 10 "wayvnc's virtual pointer and keyboard" eval \
        'seen=$(way_run swaymsg -t get_seats | jq -c ".[0].capabilities"); [ "$seen" = 3 ]'
    # The screenshot portal wants pipewire (for the wlr backend) and is only
    # offered with an Access backend (gtk) too.
    way_bg pipewire
    e2e_wait 20 "pipewire to start" test -S "$run/pipewire-0"
    way_run dbus-update-activation-environment WAYLAND_DISPLAY XDG_RUNTIME_DIR XDG_CURRENT_DESKTOP XDG_SESSION_TYPE ||
        e2e_fail "dbus-update-activation-environment failed"
    local p
    for p in xdg-desktop-portal-wlr:impl.portal.desktop.wlr xdg-desktop-portal-gtk:impl.portal.desktop.gtk \
        xdg-desktop-portal:portal.Desktop; do
        way_bg "/usr/libexec/${p%%:*}"
        e2e_wait 20 "${p%%:*} on the session bus" way_has_name "org.freedesktop.${p#*:}"
    done
    way_run gdbus introspect --session --dest org.freedesktop.portal.Desktop --object-path /org/freedesktop/portal/desktop |
        grep -q 'interface org.freedesktop.portal.Screenshot ' || e2e_fail "no screenshot portal"
    way_run gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.SetPermission screenshot true screenshot "" "['yes']" >/dev/null ||
        e2e_fail "could not grant the screenshot permission"
}

# way_add_output NAME: one more headless output (HEADLESS-2, ...), 1280x1024.
way_add_output() { way_msg create_output; way_msg output "$1" mode 1280x1024; }

# way_pointer X Y [press|release BUTTON]...: moves the pointer to the layout
# point X+1/4,Y+1/4 (at scale 2 in physical pixel 2X,2Y), then presses or
# releases buttons (272 left, 273 right, 274 middle). Each is a short-lived
# virtual pointer whose connection stays open until sway has read it all:
# sway drops what a client that hung up had still queued.
way_pointer()
{
    local box x=$1 y=$2
    box=$(way_run swaymsg -t get_outputs | jq -r 'map(select(.active) | .rect) |
        "\(map(.x + .width) | max * 4) \(map(.y + .height) | max * 4)"')
    way_vp absolute $((4 * x + 1)) $((4 * y + 1)) $box
    shift 2
    while [ $# -ge 2 ]; do way_vp button "$2" "$1"; shift 2; done
}
way_click() { way_pointer "$1" "$2" press 272 release 272; }
way_vp()
{
    way_run perl -MSocket -MFcntl -e 'my $s; socket($s, AF_UNIX, SOCK_STREAM, 0) &&
        connect($s, pack_sockaddr_un("$ENV{XDG_RUNTIME_DIR}/$ENV{WAYLAND_DISPLAY}")) || die "wayland: $!\n";
        fcntl($s, F_SETFD, 0); $ENV{WAYLAND_SOCKET} = fileno $s; system(@ARGV) == 0 || exit 1;
        for (1 .. 500) { ioctl($s, 0x5411, my $n = pack "i", 0) || die "SIOCOUTQ: $!\n"; unpack("i", $n) || exit 0;
            select undef, undef, undef, 0.01 } exit 1' /usr/lib/wlroots/virtual-pointer "$@" || e2e_fail "virtual-pointer $* failed"
}
# way_key ARGS...: wtype ARGS into the focused window (way_key " " is Space, way_key -k Escape).
way_key() { way_run wtype "$@" || e2e_fail "wtype $* failed"; }

# way_pattern W H X0 Y0 MASK >FILE: a PPM whose pixel x,y has colour_at X0+x Y0+y, as grim writes it.
way_pattern()
{
    perl -e 'my ($w, $h, $x0, $y0, $m) = @ARGV; print "P6\n$w $h\n255\n"; for my $y ($y0 .. $y0 + $h - 1) {
        print join "", map { substr pack("N", (($_ & 255) << 16 | ($y & 255) << 8 | $_ >> 8 | ($y >> 8) << 4) ^ $m), 1 } $x0 .. $x0 + $w - 1 }' \
        "$1" "$2" "$3" "$4" $(($5))
}
# way_background OUTPUT FILE: FILE (sized as the output's physical pixels) as its background, 1:1.
way_background() { chmod 644 "$2"; way_msg output "$1" bg "$2" stretch; }
# way_shot OUTPUT >FILE: the output's physical pixels as a PPM, without the pointer.
way_shot() { way_run grim -o "$1" -t ppm -; }
# way_pixel X Y: RRGGBB of the layout pixel X,Y (at scale 2, of physical pixel 2X,2Y).
way_pixel()
{
    way_run grim -g "$1,$2 1x1" -t ppm - | perl -0777 -ne '/^P6\s+\d+\s+\d+\s+\d+\s/g || exit 1;
        printf "%02X%02X%02X", unpack "C3", substr $_, pos'
}
# way_windows PID: "app_id title fullscreen_mode x,y,width,height" of PID's windows, one a line.
way_windows()
{
    way_run swaymsg -t get_tree | jq -r --argjson pid "$1" '.. | objects | select(.pid? == $pid) |
        "\(.app_id) \(.name) \(.fullscreen_mode) \(.rect.x),\(.rect.y),\(.rect.width),\(.rect.height)"'
}

# way_outputs: "x,y,width,height" of each output in layout coordinates, one a line.
way_outputs() { way_run swaymsg -t get_outputs | jq -r '.[].rect | "\(.x),\(.y),\(.width),\(.height)"'; }
# way_close PID: asks each of PID's windows to close.
way_close() { way_msg "[pid=$1] kill"; }

# way_start_app FOLDER COMMAND...: e2e_start_app as the session's user, on
# Wayland, in FOLDER, which that user then owns; app.pid is COMMAND's own pid.
way_start_app()
{
    local folder=$1
    shift
    chown -R "$way_user:$way_group" "$folder"
    e2e_start_app "$folder" setpriv --reuid="$way_user" --regid="$way_group" --clear-groups env "${way_env[@]}" \
        QT_QPA_PLATFORM=wayland "$@"
}
# way_client PID TITLE: "X Y" of the client area of PID's window titled TITLE, in layout coordinates.
way_client()
{
    way_run swaymsg -t get_tree | jq -r --argjson pid "$1" --arg title "$2" '.. | objects |
        select(.pid? == $pid and .name == $title) | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y)"' | head -n 1
}
