#!/bin/sh
# Unpacks the Windows package from dist/ into an empty folder, as a host
# developer gets it, with a session folder beside it: the package's example
# scenario as in.xml and the session script. The Windows batch then runs the
# unpacked tolvex-host.exe against the unpacked DLL.
# Usage: unpack-windows-package.sh ZIP FOLDER PACKAGE_NAME SESSION_SCRIPT
set -eu
zip=$1 folder=$2 package=$3 script=$4
rm -rf "$folder"
if [ ! -f "$zip" ]; then
    echo "no package $zip: make dist makes it (make test does)"
    exit 1
fi
mkdir -p "$folder/session"
unzip -q "$zip" -d "$folder"
cp "$folder/$package/share/doc/Tolvex29/examples/in.xml" "$script" "$folder/session/"
