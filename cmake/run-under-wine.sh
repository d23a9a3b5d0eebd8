#!/bin/sh
# Runs one Windows test program under Wine, or reports it skipped (exit 77) when
# the prefix fixture found that Wine cannot start programs on this machine.
# Usage: run-under-wine.sh PREFIX PROGRAM [ARGUMENTS...]
set -u
prefix=$1
shift
if [ -f "$prefix.unavailable" ]; then
    echo "skipped: $(cat "$prefix.unavailable")"
    exit 77
fi
exec wine "$@"
