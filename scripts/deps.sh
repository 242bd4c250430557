#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail
pkgs=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
      libbenchmark-dev libpng-dev zlib1g-dev libgif-dev libgraphicsmagick++1-dev
      qt6-translations-l10n fonts-dejavu-core fonts-liberation cpmtools clang libclang-rt-14-dev clang-format git xvfb xauth)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  # Two commands of this tree at once (the default and the sanitizer tests) wait for each other's
  # installation instead of failing on apt's lock.
  $SUDO apt-get -o DPkg::Lock::Timeout=1200 update
  $SUDO apt-get -o DPkg::Lock::Timeout=1200 install -y --no-install-recommends "${missing[@]}"
fi
