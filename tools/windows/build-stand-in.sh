#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the stand-in of tools/windows/stand-in/ for Windows against the libraries' cache of
# tools/windows/build-dependencies.sh, with the program's icon and version record, and prints
# the path of its spettro-segnale.exe. tools/windows/package.sh and test-installer.sh take it
# where the program itself is not built for Windows yet.
# Usage: tools/windows/build-stand-in.sh [BUILD_DIR]   (default: build/windows-stand-in)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"
build=${1:-$root/build/windows-stand-in}

if ! grep -qE '/qtbase-[0-9a-f]+$' "$cache/prefixes" 2>/dev/null; then
    echo "Qt is not in $cache: run tools/windows/build-dependencies.sh first" >&2
    exit 1
fi
"$root/tools/install-dependencies.sh" >&2

mkdir -p "$build"
cmake -S "$here/stand-in" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    "-DCMAKE_PREFIX_PATH=$(paste -sd ';' "$cache/prefixes")" >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 1; }
nice -n 19 cmake --build "$build" -j 2 >&2
echo "$build/spettro-segnale.exe"
