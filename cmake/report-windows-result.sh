#!/bin/sh
# Reports one program's run in one locale from the Windows batch: its output,
# and its exit code as this test's own.
# Usage: report-windows-result.sh RESULTS_DIR PROGRAM LOCALE
set -u
run=$1/$2.$3
if [ ! -f "$run.rc" ]; then
    echo "$2 did not run under the locale $3: see the output of the test windows_programs"
    exit 1
fi
cat "$run.out"
exit "$(cat "$run.rc")"
