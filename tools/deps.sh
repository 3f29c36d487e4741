#!/usr/bin/env bash
# Installs what building and testing Zarnith needs on Debian 12, if missing.
set -euo pipefail
packages=(build-essential cmake qt6-base-dev libqscintilla2-qt6-dev libgl-dev python3 xvfb xauth "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq || true
$sudo apt-get install -y -qq "${missing[@]}"
