#!/usr/bin/env bash
# Installs the Debian packages Verko needs to build and test (and, for scripts/screenshot.sh,
# a virtual X server with a Japanese font; for the installed tree's test, the validators of
# the desktop entry and the metainfo, and lintian for the Debian package; for `cpack -G DEB`,
# dpkg-shlibdeps and file; strace, with which the tests kill runs at chosen system calls;
# zsh, to check its completion; ICU, whose word break iterator cuts Japanese into the words
# marked as changed; libxlsxwriter for the Excel 新旧対照表, python3-openpyxl
# with which the tests read it back, chromium and poppler-utils with which scripts/screenshot.sh
# shows and prints the HTML one),
# only those that are missing.
# Usage: scripts/install-deps.sh [extra-package ...]
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libonig-dev libsqlite3-dev googletest libgtest-dev
  qt6-base-dev qt6-svg-dev qt6-translations-l10n libxcb1-dev xvfb xauth openbox
  libicu-dev libxlsxwriter-dev fonts-noto-cjk desktop-file-utils appstream dpkg-dev file lintian strace zsh
  chromium poppler-utils python3 python3-openpyxl "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
