#!/usr/bin/env bash
# Configures and builds Zarnith into build/ (the program folder is build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/tools/deps.sh"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
