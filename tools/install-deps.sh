#!/bin/sh
# Installs the Debian packages that building and testing tvx880 need, when they are missing.
# Safe to run again: it does nothing when everything is present.
set -eu

packages="build-essential cmake ninja-build pkg-config ccache clang clang-format
  libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libinih-dev
  qt6-base-dev libgl-dev imagemagick xvfb xauth fonts-noto-cjk python3 python3-pil"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# shellcheck disable=SC2086
$sudo apt-get install -y --no-install-recommends $missing || {
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends $missing
}
