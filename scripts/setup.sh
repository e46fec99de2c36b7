# Shared by run.sh and test.sh: installs what the build needs and builds.
# Sourced, not run.

TINTARO_ROOT=$(cd "$(dirname "$0")/.." && pwd)

# Debian packages needed to build and run the program.
# qt6-wayland: without it Qt in a Wayland session falls back to XWayland,
# where a screen grab sees only X11 windows.
TINTARO_RUN_PACKAGES="cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev
    fonts-dejavu-core fonts-dejavu-extra fonts-liberation2"
# And to run the tests: a virtual X server and window manager for the
# end-to-end tests, headless Wayland compositors (sway, GNOME Shell) with the
# desktop portals and a session bus, the validators for the desktop files, and the Debian
# package tools.
TINTARO_TEST_PACKAGES="xvfb xauth xdotool openbox metacity x11-utils x11-xserver-utils xclip desktop-file-utils appstream
    sway xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk pipewire grim wtype
    libwlroots-examples wayvnc jq libglib2.0-bin dbus-daemon dbus-bin dpkg-dev
    gnome-shell mutter xdg-desktop-portal-gnome python3-gi"
# And to fuzz the file readers: clang with its libFuzzer and sanitizer runtimes.
TINTARO_FUZZ_PACKAGES="clang libclang-rt-14-dev"

say() { printf '==> %s\n' "$*"; }

# Installs the packages that are missing, as root or through sudo.
ensure_packages() {
    missing=""
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing="$missing $pkg"
    done
    [ -z "$missing" ] && return 0
    say "installing:$missing"
    sudo=""
    [ "$(id -u)" = 0 ] || sudo="sudo"
    $sudo apt-get update -qq || return 1
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

# configure_and_build BUILD_DIR BUILD_TYPE [CMAKE_ARGS...]
configure_and_build() {
    dir=$1
    type=$2
    shift 2
    cmake -S "$TINTARO_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null ||
        return 1
    cmake --build "$dir" -j "$(nproc)"
}
