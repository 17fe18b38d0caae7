#!/bin/sh
# Installs the Debian packages that building and testing tvx880 need, when they are missing.
# The lists live in tools/deps/*.txt (one or more names per line, "#" starts a comment).
# Safe to run again: it does nothing when everything is present.
set -eu
here=$(dirname "$0")

packages=$(sed 's/#.*//' "$here"/deps/*.txt | tr -s ' \t\n' ' ')
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
