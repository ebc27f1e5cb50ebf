#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix, checks that it holds the program, its desktop entry,
# icon, AppStream file and man page, and validates the desktop entry and the AppStream file with
# the freedesktop tools. Exit code 77 (skipped) when the tools are not installed.
# Usage: check_installed_files.sh <cmake> <build dir> <desktop id>
set -eu
cmake=$1 build=$2 id=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

status=0
for file in bin/lumivera "share/applications/$id.desktop" \
            "share/icons/hicolor/scalable/apps/$id.svg" "share/metainfo/$id.metainfo.xml" \
            share/man/man1/lumivera.1 \
            $(for size in 16 22 24 32 48 64 128 256; do
                echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done); do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; status=1; }
done
[ -x "$prefix/bin/lumivera" ] || { echo "not executable: bin/lumivera"; status=1; }
[ $status -eq 0 ] || exit 1

if ! command -v desktop-file-validate >/dev/null || ! command -v appstreamcli >/dev/null; then
  echo "desktop-file-validate or appstreamcli missing (scripts/install-deps.sh installs them)"
  exit 77
fi
# desktop-file-validate exits 0 after warnings and hints; any line it prints is a fault here.
output=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) || status=1
[ -z "$output" ] || { echo "$output"; status=1; }
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || status=1
exit $status
