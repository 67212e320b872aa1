#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the asset generator need, when any is missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libjpeg62-turbo-dev libfreetype-dev libfontconfig-dev libpixman-1-dev
  libx11-dev libxtst-dev libudev-dev
  librsvg2-bin
  fonts-dejavu-core fonts-liberation fonts-wine fonts-wqy-microhei fonts-thai-tlwg
  # Virtual display for the X11 desktop tests and checks, and the Windows cross build checked
  # under Wine in it (tools/linux-desktop-check.sh, tools/windows-check.sh)
  g++-mingw-w64-x86-64-posix wine64 xvfb xauth xdotool imagemagick xcompmgr hsetroot nsis
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
