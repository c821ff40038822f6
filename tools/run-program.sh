#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
cmake --preset release
cmake --build --preset release --target spettro-segnale
exec build/release/app/spettro-segnale "$@"
