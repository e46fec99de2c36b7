#!/bin/sh
# Installs the build into a scratch prefix and checks what lands there.
#
# usage: install-test.sh CMAKE BUILD_DIR EXPECTATION...
# Each EXPECTATION is one of
#   file:PATH              PATH is a regular file
#   exec:PATH              PATH is an executable regular file
#   same:PATH:SOURCE       PATH holds exactly the bytes of SOURCE
#   line:PATH:TEXT         PATH has a line that is exactly TEXT
#   sh:PATH                PATH is a valid sh script
# with PATH relative to the prefix.

cmake=$1
build=$2
shift 2

tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

if ! "$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log" >&2
    echo "FAIL: cmake --install failed" >&2
    exit 1
fi

# meets EXPECTATION: whether the installed tree meets it.
meets() {
    kind=${1%%:*}
    rest=${1#*:}
    path=${rest%%:*}
    extra=${rest#*:}
    target=$prefix/$path
    case $kind in
        file) [ -f "$target" ] ;;
        exec) [ -f "$target" ] && [ -x "$target" ] ;;
        same) cmp -s "$extra" "$target" ;;
        line) [ -f "$target" ] && grep -qxF -- "$extra" "$target" ;;
        sh) [ -f "$target" ] && sh -n "$target" ;;
        *) echo "unknown expectation: $1" >&2; return 1 ;;
    esac
}

passed=0
failed=0
for expectation in "$@"; do
    if meets "$expectation"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $expectation" >&2
    fi
done

if [ "$failed" -ne 0 ]; then
    echo "installed files:" >&2
    (cd "$prefix" && find . -type f | sort) >&2
fi
echo "install: $passed checks passed, $failed failed"
[ "$passed" -gt 0 ] && [ "$failed" -eq 0 ]
