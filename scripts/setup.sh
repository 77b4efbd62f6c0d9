#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking Vaultry need (with
# KiCad's footprint libraries, real data for the import's benchmarks and its opt-in full test).
# Safe to run again: apt skips what is already there. Needs root (or sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang-format python3
  libsqlite3-dev zlib1g-dev libpugixml-dev libexpat1-dev libcli11-dev
  qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core
  xvfb xauth
  kicad-footprints
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
