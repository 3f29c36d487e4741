#!/bin/sh
# Installs the build into a throw-away prefix and uses the installed program
# and command line from another folder: they must find their own files from
# where they are installed, never from the working folder.
set -eu
build=$1
prefix=$(mktemp -d)
elsewhere=$(mktemp -d)
trap 'rm -rf "$prefix" "$elsewhere"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/zarnith bin/zarnith-cli lib/zarnith/zarnith lib/zarnith/zarnith-cli lib/zarnith/libtabulox.so \
         lib/zarnith/Data.DBF lib/zarnith/Data.DBT lib/zarnith/help/index.html \
         share/applications/zarnith.desktop share/icons/hicolor/scalable/apps/zarnith.svg; do
    [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
cd "$elsewhere"
version=$("$prefix/bin/zarnith" --version)
echo "$version"
echo "$version" | grep -q "Program folder: $prefix/lib/zarnith" || { echo "wrong program folder"; exit 1; }
echo "$version" | grep -q "(missing)" && { echo "a file of the program was not found"; exit 1; }
echo "$version" | grep -q "libtabulox.so (loads)" || { echo "the list control does not load"; exit 1; }
"$prefix/bin/zarnith" --help | grep -q -- "-Reinstall"
"$prefix/bin/zarnith-cli" --help | grep -q "stock"
mkdir game
"$prefix/bin/zarnith-cli" stock restore game | grep -q "^written"
"$prefix/bin/zarnith-cli" catalogue game | grep -q "Player Units"
# The program itself starts on that folder and keeps running until stopped.
mkdir -p home/.config
printf '[Paths]\nCCPath=%s\n' "$elsewhere/game" > "home/.config/Torvane Zarnith.conf"
status=0
HOME="$elsewhere/home" QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/zarnith" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "the installed program ended early with status $status"; exit 1; }
echo "installed program and command line work from $elsewhere"
