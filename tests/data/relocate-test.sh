#!/bin/sh
# The installed launcher finds the program and the shipped data relative to
# its own folder, wherever the installed tree is put, and falls back to the
# absolute paths it was configured with.
#
# usage: relocate-test.sh CMAKE BUILD_DIR BINDIR LIBEXECDIR DATADIR
#   BINDIR, LIBEXECDIR, DATADIR  the install folders, relative to the prefix
#
# The tree is installed into a scratch prefix; its program is replaced by a
# stand-in that reports which copy ran and where, and its shipped help.htm
# is marked, so that each case can tell which program and data were used.

cmake=$1
build=$2
bindir=$3
libexecdir=$4
datadir=$5

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
contains() { grep -qxF -- "$2" "$1"; }
mentions() { grep -qF -- "$2" "$1"; }

tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
tmp=$(cd "$tmp" && pwd -P)

tree=$tmp/first
if ! "$cmake" --install "$build" --prefix "$tree" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log" >&2
    echo "FAIL: cmake --install failed" >&2
    exit 1
fi

# stand_in PATH LABEL: a program at PATH that prints LABEL, its folder and
# its arguments.
stand_in() {
    cat >"$1" <<EOF
#!/bin/sh
echo "ran=$2"
echo "cwd=\$(pwd -P)"
for arg in "\$@"; do echo "arg=\$arg"; done
EOF
    chmod 755 "$1"
}
stand_in "$tree/$libexecdir/tintaro/tintaro" relative
printf 'shipped with the tree\n' >"$tree/$datadir/tintaro/help.htm"

# run NAME DIR COMMAND...: runs COMMAND from DIR with a new HOME and no
# XDG_DATA_HOME; the output lands in $tmp/NAME.out, the errors in .err.
run() {
    name=$1
    from=$2
    shift 2
    (cd "$from" && env -i PATH="${run_path:-$PATH}" HOME="$tmp/home-$name" "$@" 'one two' \
        >"$tmp/$name.out" 2>"$tmp/$name.err")
}

# relocated NAME: the stand-in in the tree ran in the new data folder, with
# the tree's own help.htm copied there.
relocated() {
    check "$1: the tree's own program ran" contains "$tmp/$1.out" "ran=relative"
    check "$1: inside the data folder" contains "$tmp/$1.out" "cwd=$tmp/home-$1/.local/share/tintaro"
    check "$1: the argument passed on" contains "$tmp/$1.out" "arg=one two"
    check "$1: the tree's own data copied" contains "$tmp/home-$1/.local/share/tintaro/help.htm" "shipped with the tree"
}

run direct "$tmp" "$tree/$bindir/tintaro"
relocated direct

# The whole tree moved, to a folder with a blank in its name.
mv "$tree" "$tmp/moved tree"
tree="$tmp/moved tree"
run moved "$tmp" "$tree/$bindir/tintaro"
relocated moved

# Started through a link from another folder, found on PATH.
mkdir "$tmp/links"
ln -s "$tree/$bindir/tintaro" "$tmp/links/tintaro"
run_path="$tmp/links:$PATH"
run link "$tmp" tintaro
run_path=""
relocated link

# Started by a relative name from its own folder.
run dot "$tree/$bindir" ./tintaro
relocated dot
run bare "$tree/$bindir" sh tintaro
relocated bare

# The launcher alone, with no tree around it: the configured absolute
# paths, here pointed at a second stand-in and a marked data folder.
mkdir -p "$tmp/alone/bin" "$tmp/fallback-data"
cp "$tree/$datadir/tintaro/"* "$tmp/fallback-data/"
printf 'shipped at the configured place\n' >"$tmp/fallback-data/help.htm"
stand_in "$tmp/fallback-program" absolute
sed -e "s|^program=.*|program='$tmp/fallback-program'|" \
    -e "s|^shipped=.*|shipped='$tmp/fallback-data'|" \
    "$tree/$bindir/tintaro" >"$tmp/alone/bin/tintaro"
chmod 755 "$tmp/alone/bin/tintaro"
check "alone: the copy names the second stand-in" contains "$tmp/alone/bin/tintaro" "program='$tmp/fallback-program'"
run alone "$tmp" "$tmp/alone/bin/tintaro"
check "alone: the configured program ran" contains "$tmp/alone.out" "ran=absolute"
check "alone: the configured data copied" contains "$tmp/home-alone/.local/share/tintaro/help.htm" \
    "shipped at the configured place"

# A program in the tree that cannot be run is passed over as well.
cp "$tmp/alone/bin/tintaro" "$tree/$bindir/tintaro-copy"
chmod 644 "$tree/$libexecdir/tintaro/tintaro"
run noexec "$tmp" "$tree/$bindir/tintaro-copy"
check "not executable: the configured program ran instead" contains "$tmp/noexec.out" "ran=absolute"
check "not executable: the tree's data still used" contains "$tmp/home-noexec/.local/share/tintaro/help.htm" \
    "shipped with the tree"

# With neither in place, the launcher says which program it could not start.
rm "$tree/$libexecdir/tintaro/tintaro" "$tmp/fallback-program"
run missing "$tmp" "$tree/$bindir/tintaro-copy"
check "missing: nothing ran" test ! -s "$tmp/missing.out"
check "missing: the message names the configured program" mentions "$tmp/missing.err" "$tmp/fallback-program"

echo "relocate: $passed checks passed, $failed failed"
[ "$passed" -gt 0 ] && [ "$failed" -eq 0 ]
