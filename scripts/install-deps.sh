#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# and only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2
  clang libclang-rt-dev
  xvfb xauth libxcb1-dev
  openbox libxcb-xtest0-dev python3-gi gir1.2-gtk-3.0
  dpkg-dev file lintian appstream man-db groff-base
  openssh-server openssh-client parallel rsync
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
# The scale-out test starts an sshd of its own, on a private port. A machine
# that gets the server only for that keeps the system's ssh service off:
# the service does not start while this file exists.
if [[ " ${missing[*]} " == *" openssh-server "* && ! -e /etc/ssh/sshd_not_to_be_run ]]; then
  "${sudo_cmd[@]}" mkdir -p /etc/ssh
  "${sudo_cmd[@]}" touch /etc/ssh/sshd_not_to_be_run
  echo "The system's ssh service stays off (/etc/ssh/sshd_not_to_be_run); openssh-server is for the tests."
fi
# Another install may hold the package lock for a while; wait for it.
lock_wait=(-o DPkg::Lock::Timeout=600)
"${sudo_cmd[@]}" apt-get "${lock_wait[@]}" update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get "${lock_wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"
