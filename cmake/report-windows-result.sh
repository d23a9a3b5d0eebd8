#!/bin/sh
# Reports one run of the Windows batch in one locale: its output, and its exit
# code as this test's own; with EXPECTED texts, each must be in the output too.
# Usage: report-windows-result.sh RESULTS_DIR NAME LOCALE [EXPECTED...]
set -u
run=$1/$2.$3
shift 3
if [ ! -f "$run.rc" ]; then
    echo "not run under this locale: see the output of the test windows_programs"
    exit 1
fi
cat "$run.out"
status=$(cat "$run.rc")
for expected in "$@"; do
    if ! grep -qF -- "$expected" "$run.out"; then
        echo "the output lacks: $expected"
        [ "$status" -ne 0 ] || status=1
    fi
done
exit "$status"
