#!/bin/sh
# scripts/check-layering on small trees: a clean one passes; one with an include
# against the layering and one with a system header in a shared header fails,
# naming both places.
# Usage: check-layering-test.sh CHECK_LAYERING
set -u
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() { echo "check-layering-test: $*" >&2; exit 1; }

mkdir -p "$tree/platform/posix" "$tree/base" "$tree/xml" "$tree/log" "$tree/host" "$tree/tools"
printf '#pragma once\n#include <string>\n' > "$tree/platform/File.h"
printf '#include "platform/File.h"\n#include <unistd.h>\n' > "$tree/platform/posix/File.cpp"
printf '#pragma once\n#include <exception>\n' > "$tree/base/Exception.h"
printf '#include "base/Exception.h"\n#include "platform/File.h"\n' > "$tree/platform/Stream.cpp"
printf '#pragma once\n#include "platform/File.h"\n' > "$tree/base/Variant.h"
printf '#pragma once\n#include "base/Variant.h"\n' > "$tree/xml/XmlNode.h"
printf '#include "xml/XmlNode.h"\n#include "log/LogFile.h"\n' > "$tree/host/Body.cpp"
printf '#pragma once\n' > "$tree/log/LogFile.h"
printf '#include "host/Body.h"\n#include <windows.h>\n' > "$tree/tools/Tool.cpp"

output=$(python3 "$check" "$tree" 2>&1) || fail "a clean tree fails: $output"

printf '#pragma once\n#include "xml/XmlNode.h"\n' > "$tree/base/Value.h"
printf '#pragma once\n#include <cstddef>\n#include <windows.h>\n' > "$tree/platform/Lock.h"
printf '#include "tools/Tool.h"\n' > "$tree/log/LogFile.cpp"
printf '#include "platform/posix/File.cpp"\n' > "$tree/xml/Peek.cpp"
if output=$(python3 "$check" "$tree" 2>&1); then fail "a tree with breaches passes"; fi
for expected in 'base/Value.h:2: base/ must not include "xml/XmlNode.h"' \
                'platform/Lock.h:3: system header <windows.h>' \
                'log/LogFile.cpp:1: log/ must not include "tools/Tool.h"' \
                'xml/Peek.cpp:1: "platform/posix/File.cpp" is per-OS code'; do
    case $output in
        *"$expected"*) ;;
        *) fail "missing \"$expected\" in: $output" ;;
    esac
done
