#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the Windows program (tools/windows/build.sh) and runs its tests under Debian's wine,
# headless: the core tests and the window tests (offscreen platform) of the cross build; then
# the installer and the portable zip (tools/windows/test-installer.sh), and the installed
# program's window (tools/windows/test-window.sh).
#
# Usage: tools/windows/run-tests.sh
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"
# shellcheck source=../step.sh
source "$root/tools/step.sh"
build=$root/build/windows
version=$(project_version)

step "windows: build" "$here/build.sh"

# Small disks that fill up for sure, lent to the tests as wine drives (tools/windows/wine-run.sh):
# tmpfs mounts, which need root; without them the full-disk tests skip and say why.
disks=$build/small-disks
unmount_disks() {
    for folder in "$disks"/*; do
        mountpoint -q "$folder" && umount "$folder"
    done
    return 0
}
if [ "$(id -u)" -eq 0 ]; then
    trap unmount_disks EXIT
    SPETTRO_SMALL_DISKS=""
    for kilobytes in 4 12 16 64; do
        mkdir -p "$disks/$kilobytes"
        mountpoint -q "$disks/$kilobytes" ||
            mount -t tmpfs -o "size=${kilobytes}k,mode=0777" tmpfs "$disks/$kilobytes"
        SPETTRO_SMALL_DISKS+="$kilobytes:$disks/$kilobytes "
    done
    export SPETTRO_SMALL_DISKS
fi
# The format and rooms checks read the sources, which the native build has checked already. A
# test that fails is run once more: wine, starting hundreds of programs side by side, now and
# then fails to start one (no output, a status of its own); a test that fails twice fails.
step "windows: tests under wine" ctest --test-dir "$build" -j 2 --output-on-failure \
    --repeat until-pass:2 -E '^(clang_format|rooms)$'
step "windows: installer" "$here/test-installer.sh" "$build/spettro-segnale.exe"
step "windows: the installed program's windows" \
    "$here/test-window.sh" "$build/dist/spettro-segnale-$version-setup.exe"
