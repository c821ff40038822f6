#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds (where anything is left to build) and runs the Linux builds' tests: the release build,
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, the tests of threaded
# code under ThreadSanitizer, and the fuzz targets (their seed corpora, then
# SPETTRO_FUZZ_SECONDS seconds each, 60 by default). Part of tools/run-tests.sh, which installs
# what they need first. Each step prints its wall and CPU time.
set -euo pipefail
cd "$(dirname "$0")/.."

# The tests run side by side, one a core: each test is a process of its own, and most use one
# core.
jobs=$(nproc)

# shellcheck source=step.sh
source tools/step.sh

step "release: configure" cmake --preset release
step "release: build" cmake --build --preset release
# The window tests on Wayland run apart, a second time when they fail: Qt 6.4's Wayland client
# may crash as a window goes (a frame callback delivered to it on Qt's own thread); a test that
# fails twice fails.
step "release: tests" ctest -j "$jobs" --preset release --label-exclude wayland
step "release: Wayland tests" \
    ctest -j "$jobs" --preset release --label-regex wayland --repeat until-pass:2

step "sanitizers: configure" cmake --preset debug-sanitizers
step "sanitizers: build" cmake --build --preset debug-sanitizers
# The package checks build a package and the LibreOffice checks only open the exported files
# in LibreOffice; the release run has done both.
step "sanitizers: tests" \
    ctest -j "$jobs" --preset debug-sanitizers --label-exclude "packaging|libreoffice|wayland"
step "sanitizers: Wayland tests" \
    ctest -j "$jobs" --preset debug-sanitizers --label-regex wayland --repeat until-pass:2

# Only the targets of the threaded code's tests: the fast spectrum's threads, the transforms
# and the harmonic sum with their cancel, the analysis worker and its cancel, the CSV save and
# the task gate.
step "tsan: configure" cmake --preset tsan
step "tsan: build" cmake --build --preset tsan
step "tsan: tests" ctest -j "$jobs" --preset tsan

step "fuzz: configure" cmake --preset fuzz
step "fuzz: build" cmake --build --preset fuzz
step "fuzz: corpora" ctest -j "$jobs" --preset fuzz
step "fuzz: fuzzers" tools/run-fuzzers.sh "${SPETTRO_FUZZ_SECONDS:-60}"
