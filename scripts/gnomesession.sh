# Shared by the GNOME end-to-end test (bash, sourced): a headless GNOME Shell
# on Wayland with its own session bus, a private stand-in for the system bus,
# pipewire and the desktop portals, all run as waysession.sh's unprivileged
# user in e2e_begin's work folder. e2e_cleanup stops all of it.
# Debian packages: gnome-shell mutter xdg-desktop-portal-gnome pipewire python3-gi
# libglib2.0-bin dbus-daemon dbus-bin qt6-wayland.
# The shell runs in its unsafe mode, which only opens its D-Bus calls (Eval,
# Screenshot) to any client of the private bus: the test reads the windows,
# the screen and drives a virtual pointer and keyboard through Eval. The
# portal's own path (permission store, prompt, screenshot) is unchanged.
# One monitor, 1280x1024 at scale 1, so layout and physical pixels agree.

# shellcheck source=waysession.sh
. "$(dirname "${BASH_SOURCE[0]}")/waysession.sh"

gnome_shell_pid=""

# gnome_eval JS: the value of JS (a JSON string, as the shell returns it), run in the shell.
gnome_eval()
{
    local out
    out=$(way_run gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Eval "$1" 2>&1) || { seen=$out; return 1; }
    case $out in "(true, "*) ;; *) seen=$out; return 1 ;; esac
    out=${out#"(true, '"} && printf '%s\n' "${out%"')"}"
}
gnome_js() { gnome_eval "$1" >/dev/null || e2e_fail "the shell refused: $1 ($seen)"; }

# gnome_start [PERMISSION]: the session, out of the overview; the screenshot
# permission is pre-granted unless PERMISSION is "ask".
gnome_start()
{
    e2e_need gnome-shell pipewire dbus-run-session dbus-daemon gdbus gsettings setpriv perl /usr/bin/python3
    local run=$e2e_work/run
    : >"$e2e_work/session.log"
    # Settings in a key file, there before the shell starts: no banners over
    # the screen compared, no animations to wait for.
    mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
    printf '%s\n' '[org/gnome/desktop/notifications]' 'show-banners=false' '[org/gnome/desktop/interface]' \
        'enable-animations=false' >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
    chown -R "$way_user:$way_group" "$e2e_work"
    # The shell will not start without a system bus (it asks logind): a private one answers.
    way_env=(HOME="$HOME" XDG_RUNTIME_DIR="$run" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_CACHE_HOME="$XDG_CACHE_HOME"
        XDG_DATA_HOME="$XDG_DATA_HOME" XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland NO_AT_BRIDGE=1 GTK_A11Y=none
        GSETTINGS_BACKEND=keyfile DBUS_SYSTEM_BUS_ADDRESS="unix:path=$run/system-bus")
    way_bg dbus-daemon --session --nofork --address="unix:path=$run/system-bus"
    e2e_wait 10 "the stand-in system bus" test -S "$run/system-bus"
    # The bus lives as long as the shell, which takes the shell's pid.
    way_bg dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$1/bus.new" && mv "$1/bus.new" "$1/bus" &&
        echo $$ >"$1/shell.pid" && exec gnome-shell --headless --wayland --no-x11 --unsafe-mode \
        --virtual-monitor 1280x1024' sh "$e2e_work"
    e2e_wait 20 "the shell to start" eval '[ -s "$e2e_work/shell.pid" ] && test -S "$run/wayland-0"'
    gnome_shell_pid=$(cat "$e2e_work/shell.pid")
    e2e_extra_pids=("$gnome_shell_pid" "${e2e_extra_pids[@]}")
    way_env+=(DBUS_SESSION_BUS_ADDRESS="$(cat "$e2e_work/bus")" WAYLAND_DISPLAY=wayland-0)
    e2e_wait 20 "the shell to answer" eval 'seen=$(gnome_eval "Main.layoutManager._startingUp"); [ "$seen" = false ]'
    way_bg pipewire
    e2e_wait 20 "pipewire to start" test -S "$run/pipewire-0"
    way_run dbus-update-activation-environment WAYLAND_DISPLAY XDG_RUNTIME_DIR XDG_CURRENT_DESKTOP XDG_SESSION_TYPE \
        HOME DBUS_SYSTEM_BUS_ADDRESS || e2e_fail "dbus-update-activation-environment failed"
    local p
    for p in xdg-desktop-portal-gnome:impl.portal.desktop.gnome xdg-desktop-portal:portal.Desktop; do
        way_bg "/usr/libexec/${p%%:*}"
        e2e_wait 20 "${p%%:*} on the session bus" way_has_name "org.freedesktop.${p#*:}"
    done
    way_run gdbus introspect --session --dest org.freedesktop.portal.Desktop --object-path /org/freedesktop/portal/desktop |
        grep -q 'interface org.freedesktop.portal.Screenshot ' || e2e_fail "no screenshot portal"
    [ "${1:-}" = ask ] || way_run gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.SetPermission screenshot true screenshot "" "['yes']" >/dev/null ||
        e2e_fail "could not grant the screenshot permission"
    # Out of the overview the shell starts in; a virtual pointer and keyboard held for the session.
    gnome_js 'const seat = imports.gi.Clutter.get_default_backend().get_default_seat();
        global._e2ePointer = seat.create_virtual_device(imports.gi.Clutter.InputDeviceType.POINTER_DEVICE);
        global._e2eKeys = seat.create_virtual_device(imports.gi.Clutter.InputDeviceType.KEYBOARD_DEVICE); Main.overview.hide()'
    # The top bar stays, without what changes by itself (clock, focused application, indicators).
    gnome_js 'Main.panel.get_children().forEach(c => { c.opacity = 0 })'
    e2e_wait 10 "the overview to close" eval 'seen=$(gnome_eval "Main.overview.visible || Main.overview.animationInProgress");
        [ "$seen" = false ]'
}

# gnome_pointer X Y [press|release BUTTON]...: moves the pointer to X,Y, then
# presses or releases buttons (1 left, 2 middle, 3 right).
gnome_pointer()
{
    local js="const p = global._e2ePointer, t = () => imports.gi.GLib.get_monotonic_time();
        p.notify_absolute_motion(t(), $1, $2);"
    shift 2
    while [ $# -ge 2 ]; do
        js+=" p.notify_button(t(), $2, imports.gi.Clutter.ButtonState.$([ "$1" = press ] && echo PRESSED || echo RELEASED));"
        shift 2
    done
    gnome_js "$js"
}
gnome_click() { gnome_pointer "$1" "$2" press 1 release 1; }
# gnome_key [-k] KEYSYM...: each key (a keysym name: Escape, Return, Tab, space...) pressed
# and released; -k as wtype takes it, so that way_key -k Escape and gnome_key -k Escape agree.
gnome_key()
{
    local js="const k = global._e2eKeys, C = imports.gi.Clutter, t = () => imports.gi.GLib.get_monotonic_time();" s
    [ "${1:-}" != -k ] || shift
    for s; do js+=" k.notify_keyval(t(), C.KEY_$s, C.KeyState.PRESSED); k.notify_keyval(t(), C.KEY_$s, C.KeyState.RELEASED);"; done
    gnome_js "$js"
}

# gnome_shot [OUTPUT] >FILE: the screen (its one monitor) as a PPM, without the pointer.
gnome_shot()
{
    local png=$e2e_work/shot.png
    rm -f "$png"
    way_run gdbus call --session --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
        --method org.gnome.Shell.Screenshot.Screenshot false false "$png" >/dev/null && gnome_ppm "$png"
}
gnome_ppm()
{
    /usr/bin/python3 -c 'import sys, gi; gi.require_version("GdkPixbuf", "2.0"); from gi.repository import GdkPixbuf
p = GdkPixbuf.Pixbuf.new_from_file(sys.argv[1]); w, h, n, s = p.get_width(), p.get_height(), p.get_n_channels(), p.get_rowstride()
b = p.get_pixels(); o = sys.stdout.buffer; o.write(b"P6\n%d %d\n255\n" % (w, h))
for y in range(h):
    r = bytearray(b[y * s:y * s + w * n])
    if n == 4:
        del r[3::4]
    o.write(r)' "$1"
}
# gnome_pixel X Y...: RRGGBB of each pixel X,Y, space-separated, from one screenshot.
gnome_pixel()
{
    gnome_shot >"$e2e_work/pixel.ppm" || return 1
    perl -0777 -e 'my $p = do { local @ARGV = shift; <> }; $p =~ /^P6\s+(\d+)\s+\d+\s+\d+\s/g || exit 1; my ($w, $o) = ($1, pos $p);
        print join " ", map { sprintf "%02X%02X%02X", unpack "C3", substr $p, $o + 3 * ($ARGV[2 * $_ + 1] * $w + $ARGV[2 * $_]), 3 }
        0 .. @ARGV / 2 - 1' "$e2e_work/pixel.ppm" "$@"
}
# gnome_background OUTPUT FILE: FILE (a 1280x1024 PPM) as the background, 1:1 (one monitor).
gnome_background()
{
    shift
    local png=$e2e_work/background.$RANDOM.png
    /usr/bin/python3 -c 'import sys, gi; gi.require_version("GdkPixbuf", "2.0"); from gi.repository import GdkPixbuf, GLib
d = open(sys.argv[1], "rb").read().split(b"\n", 3); w, h = map(int, d[1].split())
GdkPixbuf.Pixbuf.new_from_bytes(GLib.Bytes.new(d[3]), GdkPixbuf.Colorspace.RGB, False, 8, w, h, 3 * w).savev(sys.argv[2], "png", [], [])' \
        "$1" "$png" && chmod 644 "$png" || e2e_fail "could not convert $1"
    # The top bar takes the picture's top-left colour: a new background shows in its rows too.
    gnome_js "Main.panel.set_style('background-color: #$(od -An -tx1 -j "$(head -n 3 "$1" | wc -c)" -N 3 "$1" | tr -d ' \n')')"
    way_run gsettings set org.gnome.desktop.background picture-options centered &&
        way_run gsettings set org.gnome.desktop.background picture-uri "file://$png" &&
        way_run gsettings set org.gnome.desktop.background picture-uri-dark "file://$png" ||
        e2e_fail "could not set the background"
}
# gnome_windows PID: "title focus|- fullscreen x,y,width,height" of PID's windows, one a
# line (spaces in titles as _, none as -): the last two fields as in way_windows.
gnome_meta() { echo "global.get_window_actors().map(a => a.meta_window).filter(w => w.get_pid() == $1)"; }
gnome_windows()
{
    gnome_eval "$(gnome_meta "$1").map(w => { const r = w.get_frame_rect();
        return [(w.get_title() || '-').replace(/ /g, '_'), w.has_focus() ? 'focus' : '-', w.is_fullscreen() ? 1 : 0,
        [r.x, r.y, r.width, r.height].join(',')].join(' ') }).join('|')" | tr -d '"' | tr '|' '\n' | sed '/^$/d'
}
# gnome_close PID: asks each of PID's windows to close, as their close buttons do.
gnome_close() { gnome_js "$(gnome_meta "$1").forEach(w => w.delete(global.get_current_time()))"; }
# gnome_outputs: "x,y,width,height" of each monitor, one a line.
gnome_outputs()
{
    gnome_eval "Main.layoutManager.monitors.map(m => [m.x, m.y, m.width, m.height].join(',')).join('|')" | tr -d '"' | tr '|' '\n'
}
# gnome_client PID TITLE: "X Y" of the client area of PID's window titled TITLE. Qt
# draws the title bar itself here (mutter offers no server-side ones): a 30-pixel
# title and 3-pixel borders inside what mutter calls the window.
gnome_client()
{
    gnome_eval "$(gnome_meta "$1").filter(w => w.get_title() == '$2' && w.get_frame_rect().width > 0).map(w => {
        const r = w.get_frame_rect(); return (r.x + 3) + ' ' + (r.y + 30) })[0]" | tr -d '"'
}

# Without the permission (gnome_start ask), the portal has the shell ask the user first.
# gnome_prompt_shown: its dialog is up, Deny focused. gnome_refuse: Escape answers it (Deny).
gnome_prompt_shown()
{
    seen=$(gnome_eval "String(Main.modalCount > 0 && global.stage.key_focus && global.stage.key_focus.label)")
    [ "$seen" = '"Deny"' ]
}
gnome_refuse() { gnome_key Escape; }
# gnome_watch_responses FILE: the portal's Response signals (code, results) go to FILE.
gnome_watch_responses()
{
    way_bg sh -c 'exec dbus-monitor --session "type=signal,interface=org.freedesktop.portal.Request,member=Response" >"$1"' sh "$1"
}
