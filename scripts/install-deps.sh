#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# and only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2
  libssl-dev
  clang libclang-rt-14-dev
  xvfb xauth libxcb1-dev
  openbox libxcb-xtest0-dev python3-gi gir1.2-gtk-3.0
  dpkg-dev appstream man-db groff-base
  qt6-base-private-dev
  dbus-daemon dbus-bin at-spi2-core python3-pyatspi
  python3-fusepy
  time
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
# Another install may hold the package lock for a while; wait for it.
lock_wait=(-o DPkg::Lock::Timeout=600)
"${sudo_cmd[@]}" apt-get "${lock_wait[@]}" update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get "${lock_wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"
