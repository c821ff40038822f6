#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then builds and runs every test: the release build, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, the tests of threaded code under
# ThreadSanitizer, the fuzz targets (their seed corpora, then SPETTRO_FUZZ_SECONDS seconds each,
# 60 by default), and the Windows build's tests under wine (its libraries are built once per
# machine into a cache).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh

cmake --preset release
cmake --build --preset release
# The window tests on Wayland run apart, a second time when they fail: Qt 6.4's Wayland client
# may crash as a window goes (a frame callback delivered to it on Qt's own thread); a test that
# fails twice fails.
ctest --preset release --label-exclude wayland
ctest --preset release --label-regex wayland --repeat until-pass:2

cmake --preset debug-sanitizers
cmake --build --preset debug-sanitizers
# The package checks build a package and the LibreOffice checks only open the exported files
# in LibreOffice; the release run has done both.
ctest --preset debug-sanitizers --label-exclude "packaging|libreoffice|wayland"
ctest --preset debug-sanitizers --label-regex wayland --repeat until-pass:2

# Only the targets of the threaded code's tests: the fast spectrum's threads, the transforms
# and the harmonic sum with their cancel, the analysis worker and its cancel, the CSV save and
# the task gate.
cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan

cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz
tools/run-fuzzers.sh "${SPETTRO_FUZZ_SECONDS:-60}"

tools/windows/run-tests.sh
