#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Gives a new wine prefix the fonts the windows are drawn with where "MS Sans Serif" is missing:
# Liberation Sans (Debian's fonts-liberation2), metric-compatible with Arial, into the prefix's
# Windows\Fonts, registered as Windows registers installed fonts.
#
# Usage: tools/windows/wine-fonts.sh WINEPREFIX
set -euo pipefail
prefix=$1
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
for file in /usr/share/fonts/truetype/liberation2/LiberationSans-*.ttf; do
    [ -f "$file" ] && cp "$file" "$fonts/"
done
