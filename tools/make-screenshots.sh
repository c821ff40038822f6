#!/usr/bin/env bash
# Builds the program and writes the screenshots of both windows into docs/.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --target make_screenshots
QT_QPA_PLATFORM=offscreen build/release/tools/screenshots/make_screenshots docs
