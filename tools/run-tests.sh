#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSPETTRO_BUILD_BENCHMARKS=ON
cmake --build build/release
ctest --test-dir build/release --output-on-failure
