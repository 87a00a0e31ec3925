#!/usr/bin/env bash
# Installs every system package the build, the tests and the program need.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git clang clang-format
  libclang-rt-14-dev
  googletest libgtest-dev socat
  nlohmann-json3-dev
  libgtk-3-dev libudev-dev udev dbus-daemon
  libcurl4-openssl-dev libssl-dev libgpgme-dev gnupg gpg-agent openssl
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xauth x11-utils xdotool imagemagick socat
  fonts-dejavu-core fonts-noto-cjk unicode-data python3
  nsis osslsigncode dpkg-dev desktop-file-utils appstream lintian curl
  ser2net
  linux-perf valgrind  # profiling, see docs/performance.md
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: these packages are missing and installing them needs root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
