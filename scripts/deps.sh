#!/usr/bin/env bash
# Installs the Debian 12 packages Kistora needs, only those missing (quick when
# nothing is). Usage: scripts/deps.sh build|test
set -euo pipefail

build_pkgs=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
            libgtest-dev libgmock-dev googletest libbenchmark-dev fonts-dejavu-core librsvg2-bin
            qt6-translations-l10n qt6-charts-dev libqt6opengl6-dev)
test_pkgs=(clang libclang-rt-14-dev clang-format-14 xvfb xauth xdotool x11-apps x11-utils openbox imagemagick chromium python3 cmark-gfm
           dpkg-dev fakeroot desktop-file-utils appstream lintian man-db syncthing)

want=("${build_pkgs[@]}")
if [[ "${1:-build}" == test ]]; then want+=("${test_pkgs[@]}"); fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
