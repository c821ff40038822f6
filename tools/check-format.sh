#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ file of the tree differs from what the committed .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t files < <(find app core tests tools ui -name '*.cpp' -o -name '*.h')
fi
clang-format-14 --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted as .clang-format says"
