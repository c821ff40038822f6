#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program and writes the screenshots of both windows into docs/.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
cmake --preset release
cmake --build --preset release --target make_screenshots
# On a 1920 x 1080 screen, where both windows open whole.
QT_QPA_PLATFORM=offscreen:configfile=tests/support/test-screen.json \
    build/release/tools/screenshots/make_screenshots docs
