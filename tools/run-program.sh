#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh --only program
cmake --preset release
cmake --build --preset release --target spettro-segnale
exec build/release/app/spettro-segnale "$@"
