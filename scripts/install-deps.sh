#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing need, but only those missing.
set -euo pipefail
# desktop-file-utils and appstream check the desktop entry and the AppStream file in the tests;
# qt6-translations-l10n makes the toolkit's own texts German (a test checks a context menu).
packages=(cmake ninja-build g++ make qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
          fonts-dejavu-core desktop-file-utils appstream fonts-wine qt6-translations-l10n "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
