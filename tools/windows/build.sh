#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the Windows program (x86-64, Windows 10 and 11) on Debian 12, from nothing: installs
# what is missing, cross-builds the libraries once into their cache
# (tools/windows/build-dependencies.sh; a rerun rebuilds only what changed), cross-builds the
# program and its tests on top in build/windows, and packages the program (VERSION: the
# project's, in the top CMakeLists.txt):
#   build/windows/dist/spettro-segnale-VERSION-setup.exe          the installer
#   build/windows/dist/spettro-segnale-VERSION-windows-x86_64.zip the portable folder
# The tests of that build run under wine: tools/windows/run-tests.sh.
#
# Usage: tools/windows/build.sh
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"
build=$root/build/windows

"$here/build-dependencies.sh"

# pkg-config finds FFTW and libxlsxwriter in the cache alone, never the build machine's.
PKG_CONFIG_LIBDIR=$(sed 's|$|/lib/pkgconfig|' "$cache/prefixes" | paste -sd:)
export PKG_CONFIG_LIBDIR
# SLEEF's sources are not served: the harmonic sums use the C library's sine and cosine.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    "-DCMAKE_PREFIX_PATH=$(paste -sd ';' "$cache/prefixes")" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh" \
    -DSPETTRO_VECTOR_KERNELS=OFF -DSPETTRO_BUILD_BENCHMARKS=OFF
nice -n 10 cmake --build "$build" -j 2
"$here/package.sh" "$build/spettro-segnale.exe" "$build/dist"
