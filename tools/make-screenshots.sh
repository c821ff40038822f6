#!/usr/bin/env bash
# Builds the program and writes the screenshots of both windows into docs/.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
cmake --preset release
cmake --build --preset release --target make_screenshots
QT_QPA_PLATFORM=offscreen build/release/tools/screenshots/make_screenshots docs
