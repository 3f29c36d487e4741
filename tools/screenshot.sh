#!/usr/bin/env bash
# Takes the README's screenshot: the main window on the stock data with an
# object chosen, under a virtual X server. Installs what it needs (the
# virtual server and imagemagick's import) the first time.
#   tools/screenshot.sh [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/tools/deps.sh" imagemagick
out=${1:-docs/main-window.png}
[ -x build/bin/zarnith ] || tools/build.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/.config" "$work/game"
build/bin/zarnith-cli stock restore "$work/game" >/dev/null
printf '[Paths]\nCCPath=%s\n[Settings]\nInfoTab=5\nExit=0\n' "$work/game" > "$work/home/.config/Torvane Zarnith.conf"
mkdir -p "$(dirname "$out")"
HOME="$work/home" xvfb-run -a -s "-screen 0 1200x760x24" bash -c '
    build/bin/zarnith --select AmericaHarrowTank &
    pid=$!
    sleep 4
    import -window root -crop 1180x720+0+0 "$0"
    kill $pid' "$out"
echo "wrote $out"
