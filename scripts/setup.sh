#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking Vaultry need (with
# KiCad's footprint libraries, real data for the import's benchmarks and its opt-in full test,
# and the PostgreSQL server the tests start a private cluster of), and the unprivileged user
# that cluster runs as when the tests run as root. Safe to run again. Needs root (or sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang-format python3
  libsqlite3-dev zlib1g-dev libpugixml-dev libcli11-dev libpq-dev postgresql
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

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The PostgreSQL server refuses to run as root; the tests' cluster runs as this user then.
if ! id vaultry-pg >/dev/null 2>&1; then
  "${sudo_cmd[@]}" useradd --system --no-create-home --shell /usr/sbin/nologin vaultry-pg
fi
