#!/usr/bin/env bash
# Installs on a Debian 12 machine whatever the build and the tests need, and does nothing when all
# of it is there already. Run as root (or with sudo available).
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 locales
  xvfb xdotool imagemagick fonts-wine fonts-wqy-microhei
)
i386_packages=(wine32:i386)

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}" "${i386_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_ dpkg --add-architecture i386
fi
sudo_ apt-get update -qq
sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}"
