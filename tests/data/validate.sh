#!/bin/sh
# Runs a validator on a shipped file; exit 77 (skipped) when the validator
# is not installed. Warnings and remarks fail as errors do (the desktop file
# validator's "hint:" lines and the metainfo validator's pedantic "P:" notes
# pass).
#
# usage: validate.sh TOOL ARGS...

tool=$1
if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
fi

out=$("$@" 2>&1)
status=$?
[ -n "$out" ] && printf '%s\n' "$out"
if [ "$status" -ne 0 ]; then
    echo "FAIL: $tool exited with $status"
    exit 1
fi
if printf '%s\n' "$out" | grep -Eq '(^|: )(error|warning): |^[EWI]: '; then
    echo "FAIL: $tool has remarks"
    exit 1
fi
exit 0
