#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when something is missing.
# Never installs wine32: these machines cannot execute 32-bit programs.
# `install-deps.sh fuzz` adds what the native fuzz build needs (clang and its sanitizer runtimes).
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64
  binutils-mingw-w64-i686
  wine
  wine64
  xvfb
  xauth
  x11-utils
  xdotool
  imagemagick
  fonts-wine
  googletest
  fp-utils-3.2.2
  cmake
  make
)
if [ "${1:-}" = "fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
