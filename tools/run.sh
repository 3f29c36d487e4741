#!/usr/bin/env bash
# Installs what is needed, builds, and starts Zarnith on the stock game data
# that ships with it (a demo game folder under build/, kept between runs).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh
demo="$PWD/build/demo-game"
if [ ! -d "$demo/Data/INI" ]; then
    mkdir -p "$demo"
    build/bin/zarnith-cli stock restore "$demo" >/dev/null
    : > "$demo/torvane.exe"
fi
echo "== zarnith-cli: the summary of AmericaHarrowTank"
build/bin/zarnith-cli object "$demo" AmericaHarrowTank
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/zarnith --select AmericaHarrowTank
else
    echo "No display: start build/bin/zarnith on a desktop to use the editor."
fi
