#!/usr/bin/env bash
# Installs what is needed, builds, and starts Zarnith on sample data. The
# first run sets up a demo game folder (build/demo-game, holding only an empty
# "torvane.exe"): the setup wizard opens on it and restores every stock file
# into it. Later runs go straight to the main window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh
demo="$PWD/build/demo-game"
mkdir -p "$demo"
[ -e "$demo/torvane.exe" ] || : > "$demo/torvane.exe"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: here is what the command line shows of the stock data instead."
    build/bin/zarnith-cli object data/stock AmericaHarrowTank
    exit 0
fi
exec build/bin/zarnith --game "$demo" --select AmericaHarrowTank
