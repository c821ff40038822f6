#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs a cross-built Windows program under Debian's wine64, headless, with the DLLs it loads found
# where they were built: Qt's in the libraries' cache, MinGW's runtime in its compiler's folders.
# The wine prefix is SPETTRO_WINE_PREFIX (by default wine-prefix beside this build's cache), made
# on first use. CMake's CROSSCOMPILING_EMULATOR for the Windows build, so that ctest runs the
# tests through it.
#
# Usage: tools/windows/wine-run.sh PROGRAM.exe [ARGUMENT...]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"

find_wine
export WINEPREFIX=${SPETTRO_WINE_PREFIX:-$cache/wine-prefix}
# Quiet and without Mono and Gecko, unless the caller's WINEDEBUG or WINEDLLOVERRIDES says else.
wine_environment "${WINEDLLOVERRIDES:-$wine_overrides}" "${WINEDEBUG:--all}"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

folders=()
qt=$(grep -m1 '/qtbase-' "$cache/prefixes")
folders+=("$(windows_path "$qt/bin")")
for dll in libstdc++-6.dll libwinpthread-1.dll; do
    path=$("$triplet-g++-posix" -print-file-name=$dll)
    folders+=("$(windows_path "$(dirname "$path")")")
done
WINEPATH=$(IFS=';'; echo "${folders[*]}")
export WINEPATH

# A new prefix is made once, under a lock, so that tests started side by side share it.
if [ ! -f "$WINEPREFIX/.spettro-ready" ]; then
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.spettro-ready" ]; then
            wine_boot /dev/null || true
            "$here/wine-fonts.sh" "$WINEPREFIX"
            touch "$WINEPREFIX/.spettro-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
fi

# Small drives lent by tools/windows/run-tests.sh (SPETTRO_SMALL_DISKS="KB:FOLDER ..."), one
# drive letter each from P on, named to the tests by SPETTRO_SMALL_DISK_<KB>.
letters=(p q r s t u)
index=0
for disk in ${SPETTRO_SMALL_DISKS:-}; do
    letter=${letters[$index]}
    ln -sfn "${disk#*:}" "$WINEPREFIX/dosdevices/$letter:"
    export "SPETTRO_SMALL_DISK_${disk%%:*}=${letter^^}:\\"
    index=$((index + 1))
done

exec "$wine64" "$@"
