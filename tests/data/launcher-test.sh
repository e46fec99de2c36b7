#!/bin/sh
# launcher-test.sh CMAKE BUILD_DIR BINDIR LIBEXECDIR DATADIR
# The installed launcher, its tree moved and started through a link on PATH,
# prepares the data folder from the tree's own files without replacing the
# user's, and runs the tree's program (a stand-in that says where and how it
# ran) inside it, with the arguments as given and its exit status.
set -u
cmake=$1 build=$2 bin=$3 libexec=$4 share=$5
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT && tmp=$(cd "$tmp" && pwd -P) || exit 1
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

"$cmake" --install "$build" --prefix "$tmp/tree" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; exit 1; }
printf '#!/bin/sh\npwd -P\nprintf "[%%s]" "$@"\nexit 3\n' >"$tmp/tree/$libexec/tintaro/tintaro"
echo "this tree's help" >"$tmp/tree/$share/tintaro/help.htm"
# Read-only shipped files still give the user copies to edit.
chmod 444 "$tmp/tree/$share/tintaro/"*
mkdir "$tmp/links" && mv "$tmp/tree" "$tmp/moved tree" && ln -s "$tmp/moved tree/$bin/tintaro" "$tmp/links/tintaro"
shipped="$tmp/moved tree/$share/tintaro" data=$tmp/xdg/tintaro

# run LABEL FILES: the stand-in ran in the data folder, which holds FILES.
run()
{
    (cd "$tmp" && env -i PATH="$tmp/links:$PATH" HOME="$tmp/home" XDG_DATA_HOME="$tmp/xdg" tintaro 'one two' '' '*' >"$tmp/out" 2>&1)
    echo " status $?" >>"$tmp/out"
    [ "$(cat "$tmp/out")" = "$data
[one two][][*] status 3" ] || fail "$1: expected the program in $data with its three arguments and status 3, saw: $(cat "$tmp/out")"
    [ "$(ls -A "$data" | tr '\n' ' ')" = "$2" ] || fail "$1: the data folder holds $(ls -A "$data" | tr '\n' ' ')"
}

run "first start" "colorset.dat help.htm set.dat websafe.rgb "
for f in websafe.rgb set.dat colorset.dat help.htm; do
    cmp -s "$shipped/$f" "$data/$f" && [ -n "$(find "$data/$f" -perm -u=w)" ] || fail "first start: $f is no writable copy of the tree's"
done
# The user's files stay as they are; a missing one comes back.
for f in set.dat mycolor.rgb; do echo "the user's $f" | tee "$tmp/$f" >"$data/$f"; done
rm "$data/help.htm"
run "second start" "colorset.dat help.htm mycolor.rgb set.dat websafe.rgb "
cmp -s "$tmp/set.dat" "$data/set.dat" && cmp -s "$tmp/mycolor.rgb" "$data/mycolor.rgb" &&
    cmp -s "$shipped/help.htm" "$data/help.htm" || fail "second start: the user's files replaced or help.htm not restored"
exit "$failed"
