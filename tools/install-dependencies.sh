#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages the build, the program and the tests need, and any others
# named as arguments; installs nothing that is already there.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev fonts-liberation2 qt6-translations-l10n
    qt6-wayland weston
    libsleef-dev libfftw3-dev libgtest-dev libbenchmark-dev
    clang-14 libclang-rt-14-dev clang-format-14
    desktop-file-utils appstream dpkg-dev file binutils reuse lintian mmdebstrap
    libxlsxwriter-dev
    python3 python3-openpyxl python3-uno libreoffice-calc-nogui locales
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    run_as_root=()
else
    run_as_root=(sudo)
fi
"${run_as_root[@]}" apt-get update
"${run_as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
