#!/usr/bin/env bash
# Installs what is needed, builds, and shows Zarnith at work on the stock data
# that ships with it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh
game="$PWD/data/stock"
cli=build/bin/zarnith-cli
echo "== The locomotors of AmericaRanger, with their handling values"
"$cli" locomotors "$game" FactionUnit.ini AmericaRanger || true
echo "== Its block"
"$cli" block "$game" Object Object/FactionUnit.ini AmericaRanger | tr -d '\r' || true
