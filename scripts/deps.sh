#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test and run KYR7Set.
set -euo pipefail
# ansible-core: the Ansible collection in contrib/ansible and its tests.
packages=(cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
          xvfb xauth libxcb1-dev clang-14 libclang-rt-14-dev fonts-dejavu-core locales
          desktop-file-utils dpkg-dev groff-base gzip ansible-core ${KYR7_EXTRA_PACKAGES:-})
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
# The tests check number texts under a comma locale, in Qt and in the C library.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "de_DE.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen > /dev/null
  $sudo locale-gen > /dev/null
fi
