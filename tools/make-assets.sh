#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the asset generator and redraws the diagram and the icons of the input window.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S tools/assets -B build/assets -G Ninja
cmake --build build/assets
QT_QPA_PLATFORM=offscreen build/assets/make_assets ui/input_window/resources
