#!/usr/bin/env bash
# Installs, with apt-get, every Debian package the build and the tests need that is not
# installed yet. Run as root on Debian 12; a machine that has everything is left alone.
set -euo pipefail

packages=(
  cmake make g++ pkg-config dpkg-dev
  g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine xvfb xdotool imagemagick x11-utils x11-xkb-utils
  libtinyxml-dev libutfcpp-dev libyaml-cpp-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
