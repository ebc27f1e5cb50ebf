#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian source package and, with `dpkg-buildpackage -us -uc -b`, the binary package
# from a copy of the checkout in build-package/ (dpkg-source and dpkg-buildpackage write their
# results next to the tree they build, so the checkout and its parent folder stay untouched), and
# puts the results into dist/: lumivera_<version>_<arch>.deb, its debug symbols (.ddeb), the
# .buildinfo and .changes, and the source package lumivera_<version>.dsc with its .tar.xz.
# DEB_BUILD_OPTIONS passes through (nocheck leaves the tests out, parallel=N sets the jobs).
# Fails unless the version of CMakeLists.txt is the one of debian/changelog, and unless the
# package holds the program, its desktop entry and its icon.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(Lumivera VERSION \([^ )]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -S Version)
if [ -z "$version" ] || [ "$version" != "$changelog_version" ]; then
  echo "CMakeLists.txt has version '$version', debian/changelog '$changelog_version':" \
       "add a debian/changelog entry for the project's version." >&2
  exit 1
fi

stage=build-package
tree=$stage/lumivera-$version
rm -rf "$stage"
mkdir -p "$tree"
# The tracked and the new, not ignored files of the checkout; without git, the tree less its
# build folders.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard |
    tar -cf - --null --no-recursion --ignore-failed-read -T - | tar -xf - -C "$tree"
else
  tar -cf - --exclude-vcs --exclude='./build*' --exclude=./dist --exclude=./data \
      --exclude='./obj-*' . | tar -xf - -C "$tree"
fi

(cd "$stage" && dpkg-source --build "lumivera-$version" >/dev/null)
(cd "$tree" && dpkg-buildpackage -us -uc -b)

arch=$(dpkg-architecture -qDEB_HOST_ARCH)
mkdir -p dist
rm -f dist/lumivera_* dist/lumivera-dbgsym_*
mv "$stage"/lumivera_"$version".dsc "$stage"/lumivera_"$version".tar.* \
   "$stage"/lumivera_"$version"_"$arch".{deb,buildinfo,changes} dist/
mv "$stage"/lumivera-dbgsym_"$version"_"$arch".*deb dist/ 2>/dev/null || true

deb=dist/lumivera_${version}_${arch}.deb
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/lumivera ./usr/share/applications/org.lumivera.Lumivera.desktop \
         ./usr/share/icons/hicolor/48x48/apps/org.lumivera.Lumivera.png; do
  grep -qx "$f" <<<"$contents" || { echo "$deb lacks $f" >&2; exit 1; }
done
echo "$deb"
