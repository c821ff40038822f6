#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing (tools/packages.txt), then builds and runs every test: the Linux
# builds' tests (tools/run-linux-tests.sh: release, AddressSanitizer and
# UndefinedBehaviorSanitizer, ThreadSanitizer, the fuzz targets) and the Windows build's tests
# under wine (tools/windows/run-tests.sh; its libraries are built once per machine into a
# cache). Every build is made first in a minimal Debian 12 holding only the packages of the
# list (tools/check-packages.sh), which proves the list whole; the Windows build goes on there
# while the Linux tests run. Each step prints its wall and CPU time.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=step.sh
source tools/step.sh

step "packages" tools/install-dependencies.sh
step "the builds with the package list alone, and the Linux tests" \
    tools/check-packages.sh tools/run-linux-tests.sh
step "the Windows tests" tools/windows/run-tests.sh
