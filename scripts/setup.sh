#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs from Debian whatever the build, the tests and the program need;
# with the argument "web" also what the page needs (scripts/web.sh): the
# WebAssembly compiler, Node.js with npm, and Chromium for the page's tests.
# Idempotent: apt is only called when a package is missing.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config
  libgtest-dev libbenchmark-dev
  qt6-base-dev libjpeg62-turbo-dev
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
  xvfb xauth
  x11-apps netpbm xdotool
  poppler-utils
  dpkg-dev file
  qt6-svg-dev
  clang-format
  # The package tests: lintian, hardening-check (devscripts), the desktop's
  # validators and MIME tools, manual pages, and a fresh root to install into.
  lintian devscripts appstream desktop-file-utils shared-mime-info xdg-utils man-db
  debootstrap
  # The Python module and its tests.
  python3 python3-numpy python3-pytest python3-pandas python3-matplotlib
)
if [[ "${1:-}" == web ]]; then
  packages+=(emscripten chromium)
  # Node.js may come from elsewhere with npm inside it; Debian's only when missing.
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
