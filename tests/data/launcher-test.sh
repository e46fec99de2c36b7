#!/bin/sh
# The launcher that prepares the user's data folder and starts the program.
#
# usage: launcher-test.sh LAUNCHER PROGRAM SHIPPED_DATA_DIR
#   LAUNCHER          the build-tree launcher as configured
#   PROGRAM           the program it must start
#   SHIPPED_DATA_DIR  the folder it must copy the shipped files from
#
# The program path is fixed when the launcher is configured, so the cases run
# a copy of it whose program is a stand-in that reports its working
# directory and arguments.

launcher=$1
program=$2
shipped=$3
files="websafe.rgb set.dat colorset.dat help.htm"

passed=0
failed=0
check() {
    what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL: %s\n' "$what" >&2
    fi
}
same() { cmp -s "$1" "$2"; }
absent() { [ ! -e "$1" ] && [ ! -h "$1" ]; }
contains() { grep -qxF -- "$2" "$1"; }
mentions() { grep -qF -- "$2" "$1"; }
empty() { [ ! -s "$1" ]; }
owner_writable() { [ -n "$(find "$1" -prune -perm -200)" ]; }
no_leftovers() { [ -z "$(find "$1" -name '.*.[0-9]*' -print)" ]; }

tmp=$(mktemp -d) || exit 1
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
tmp=$(cd "$tmp" && pwd -P)

# --- the launcher as configured ------------------------------------------
check "the launcher exists and is executable" test -x "$launcher"
check "the launcher is valid sh" sh -n "$launcher"
check "the launcher starts $program" contains "$launcher" "program='$program'"
check "the launcher copies from $shipped" contains "$launcher" "shipped='$shipped'"

# --- a copy that starts a stand-in ---------------------------------------
fake=$tmp/fake-program
cat >"$fake" <<'EOF'
#!/bin/sh
echo "cwd=$(pwd -P)"
for arg in "$@"; do echo "arg=$arg"; done
exit "${FAKE_STATUS:-0}"
EOF
chmod +x "$fake"

# make_copy NAME DATA_DIR: a copy of the launcher that starts the stand-in
# and copies from DATA_DIR.
make_copy() {
    sed -e "s|^program=.*|program='$fake'|" -e "s|^shipped=.*|shipped='$2'|" "$launcher" >"$tmp/$1"
    check "$1: the stand-in replaced the program" contains "$tmp/$1" "program='$fake'"
    check "$1: the data folder was replaced" contains "$tmp/$1" "shipped='$2'"
}
make_copy launcher "$shipped"

# run NAME ENV...: runs the copy named by $copy with a clean environment
# plus ENV and the arguments 'one two', '' and '*'; leaves the output, the
# errors and the exit status in $tmp/NAME.out, .err and .status.
copy=launcher
run() {
    name=$1
    shift
    (cd "$tmp" && env -i PATH="$PATH" "$@" sh "$tmp/$copy" 'one two' '' '*' \
        >"$tmp/$name.out" 2>"$tmp/$name.err")
    echo $? >"$tmp/$name.status"
}
status_is() { [ "$(cat "$1")" = "$2" ]; }

# started NAME DIR: the stand-in ran in DIR with the arguments unchanged.
started() {
    check "$1: exit status 0" status_is "$tmp/$1.status" 0
    check "$1: started in $2" contains "$tmp/$1.out" "cwd=$2"
    check "$1: argument with a blank" contains "$tmp/$1.out" "arg=one two"
    check "$1: empty argument" contains "$tmp/$1.out" "arg="
    check "$1: argument not expanded" contains "$tmp/$1.out" "arg=*"
    check "$1: three arguments" test "$(grep -c '^arg=' "$tmp/$1.out")" -eq 3
    check "$1: no temporary files left" no_leftovers "$2"
}

# fresh NAME DIR: every shipped file was copied into DIR, byte for byte,
# writable by its owner.
fresh() {
    for f in $files; do
        check "$1: $f copied" same "$shipped/$f" "$2/$f"
        check "$1: $f writable" owner_writable "$2/$f"
    done
    check "$1: the user's colours are left to the program" absent "$2/mycolor.rgb"
}

# --- a new folder below a custom XDG_DATA_HOME ---------------------------
dir=$tmp/xdg/deep/data/tintaro
run custom HOME="$tmp/home1" XDG_DATA_HOME="$tmp/xdg/deep/data"
started custom "$dir"
fresh custom "$dir"
check "custom: nothing made below HOME" absent "$tmp/home1"

# --- the default folder below HOME ---------------------------------------
# XDG_DATA_HOME unset, empty, or relative (which the XDG rules ignore).
for variant in unset empty relative; do
    home=$tmp/home-$variant
    case $variant in
        unset) run "$variant" HOME="$home" ;;
        empty) run "$variant" HOME="$home" XDG_DATA_HOME= ;;
        relative) run "$variant" HOME="$home" XDG_DATA_HOME=rel/xdg ;;
    esac
    started "$variant" "$home/.local/share/tintaro"
    fresh "$variant" "$home/.local/share/tintaro"
done
check "relative: no folder made relative to the working directory" absent "$tmp/rel"

# --- files that are there already stay as they are -----------------------
dir=$tmp/keep/tintaro
mkdir -p "$dir"
printf '"Default"\r\n"My brand"\r\n' >"$dir/set.dat"
printf '000000FFFFFF000000000000000000000000331100EEFFFF993300663399CC0000FF6600' >"$dir/colorset.dat"
printf 'FF8000' >"$dir/mycolor.rgb"
: >"$dir/help.htm"
ln -s "$tmp/nowhere" "$dir/websafe.rgb"
for f in set.dat colorset.dat mycolor.rgb help.htm; do cp "$dir/$f" "$tmp/keep-$f"; done
run keep HOME="$tmp/home2" XDG_DATA_HOME="$tmp/keep"
started keep "$dir"
for f in set.dat colorset.dat mycolor.rgb help.htm; do
    check "keep: the user's $f is unchanged" same "$tmp/keep-$f" "$dir/$f"
done
check "keep: a link of the user's is not replaced" test -h "$dir/websafe.rgb"

# --- a missing file among existing ones is restored ----------------------
rm "$dir/websafe.rgb" "$dir/help.htm"
run restore HOME="$tmp/home2" XDG_DATA_HOME="$tmp/keep"
started restore "$dir"
check "restore: websafe.rgb back" same "$shipped/websafe.rgb" "$dir/websafe.rgb"
check "restore: help.htm back" same "$shipped/help.htm" "$dir/help.htm"
check "restore: the user's set.dat still unchanged" same "$tmp/keep-set.dat" "$dir/set.dat"
check "restore: the user's colorset.dat still unchanged" same "$tmp/keep-colorset.dat" "$dir/colorset.dat"

# --- read-only shipped files give copies the user can write --------------
mkdir "$tmp/readonly-data"
for f in $files; do cp "$shipped/$f" "$tmp/readonly-data/$f"; done
chmod 444 "$tmp/readonly-data"/*
make_copy readonly-launcher "$tmp/readonly-data"
copy=readonly-launcher
run readonly HOME="$tmp/home3" XDG_DATA_HOME="$tmp/ro"
copy=launcher
started readonly "$tmp/ro/tintaro"
fresh readonly "$tmp/ro/tintaro"

# --- the program's exit status is the launcher's -------------------------
run status HOME="$tmp/home4" FAKE_STATUS=3
check "status: the program's status 3 comes back" status_is "$tmp/status.status" 3

# --- a folder that cannot be made ----------------------------------------
: >"$tmp/plain-file"
run blocked HOME="$tmp/home5" XDG_DATA_HOME="$tmp/plain-file/below"
check "blocked: non-zero exit" test "$(cat "$tmp/blocked.status")" -ne 0
check "blocked: the program did not start" empty "$tmp/blocked.out"
check "blocked: the message names the folder" mentions "$tmp/blocked.err" "$tmp/plain-file/below/tintaro"

# --- preparing only: the folder is made, the program does not start -------
(cd "$tmp" && env -i PATH="$PATH" HOME="$tmp/home6" sh "$tmp/launcher" --prepare-only \
    >"$tmp/prepare.out" 2>"$tmp/prepare.err")
check "prepare only: exit status 0" test $? -eq 0
check "prepare only: the program did not start" empty "$tmp/prepare.out"
fresh prepare "$tmp/home6/.local/share/tintaro"

run nohome
check "no HOME: non-zero exit" test "$(cat "$tmp/nohome.status")" -ne 0
check "no HOME: the program did not start" empty "$tmp/nohome.out"
check "no HOME: a message" test -s "$tmp/nohome.err"

echo "launcher: $passed checks passed, $failed failed"
[ "$failed" -eq 0 ]
