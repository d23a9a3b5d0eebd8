#!/bin/sh
# Checks the export table of a built Tolvex29 module against the host contract.
#
#   check-export-table.sh pe OBJDUMP Tolvex29.dll
#       the module name is "Tolvex29.dll"; the export address table has exactly
#       ordinals 1 to 4, named 1 FindEmail, 2 GetCardImageEx, 3 TransactionsEx,
#       4 GetCardInfoEx; every imported DLL is a system DLL.
#   check-export-table.sh elf NM Tolvex29.so
#       the dynamic symbol table defines exactly the four functions.
#
# Prints every difference and exits 1 when there is one.
set -eu
export LC_ALL=C

kind=$1
tool=$2
library=$3
status=0

fail() {
    echo "$library: $*" >&2
    status=1
}

# Compares two newline-separated lists; reports what is missing and what is extra.
compare() {
    what=$1
    expected=$2
    actual=$3
    if [ "$expected" != "$actual" ]; then
        fail "$what differ"
        printf 'expected:\n%s\nfound:\n%s\n' "$expected" "$actual" >&2
    fi
}

case "$kind" in
pe)
    dump=$("$tool" -p "$library") || { echo "$library: cannot be read" >&2; exit 1; }
    # objdump prints name-table indices relative to the ordinal base (newer
    # versions print the ordinals themselves and say so in the table's heading).
    table=$(printf '%s\n' "$dump" | awk '
        /^The Export Tables/               { exports = 1 }
        exports && /^Name[ \t]/            { print "module " $NF }
        exports && /^Ordinal Base/         { base = $NF }
        /^Export Address Table -- /        { section = "slots"; next }
        /^\[Ordinal\/Name Pointer\] Table/ { section = "names"; biased = ($0 ~ /Ordinal Base/); next }
        !/^\t/                             { section = "" }
        section == "slots" && /^\t\[/ {
            ordinal = $0; sub(/.*\+base\[ */, "", ordinal); sub(/\].*/, "", ordinal)
            print "slot " ordinal
        }
        section == "names" && /^\t\[/ {
            index_ = $0; sub(/^\t\[ */, "", index_); sub(/\].*/, "", index_)
            print "export " (biased ? index_ : index_ + base) " " $NF
        }
        /^\tDLL Name: / { print "import " $NF }
    ')
    compare "module names" "module Tolvex29.dll" "$(printf '%s\n' "$table" | grep '^module ' || true)"
    compare "export address table ordinals" "$(printf 'slot %s\n' 1 2 3 4)" \
        "$(printf '%s\n' "$table" | grep '^slot ' | sort -k2n || true)"
    compare "named exports" \
        "$(printf 'export %s\n' '1 FindEmail' '2 GetCardImageEx' '3 TransactionsEx' '4 GetCardInfoEx')" \
        "$(printf '%s\n' "$table" | grep '^export ' | sort -k2n || true)"
    # A host machine has no MinGW runtime: only the system's own DLLs may be imported.
    imports=$(printf '%s\n' "$table" | sed -n 's/^import //p')
    [ -n "$imports" ] || fail "imports nothing (not a module of this system)"
    for dll in $imports; do
        case $(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]') in
            kernel32.dll|msvcrt.dll|oleaut32.dll|ole32.dll|user32.dll|advapi32.dll|ntdll.dll) ;;
            *) fail "imports $dll, which is not a system DLL" ;;
        esac
    done
    ;;
elf)
    symbols=$("$tool" -D --defined-only "$library") || { echo "$library: cannot be read" >&2; exit 1; }
    compare "defined dynamic symbols" \
        "$(printf 'T %s\n' FindEmail GetCardImageEx GetCardInfoEx TransactionsEx)" \
        "$(printf '%s\n' "$symbols" | awk 'NF == 3 { print $2, $3 }' | sort -k2)"
    ;;
*)
    echo "usage: $0 pe|elf TOOL LIBRARY" >&2
    exit 2
    ;;
esac

[ "$status" -eq 0 ] && echo "$library: export table as required"
exit "$status"
