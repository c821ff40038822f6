#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages of tools/packages.txt that are missing: every group, or with
# --only GROUP that group alone; packages named as further arguments too. Installs nothing that
# is already there; with --print, installs nothing and prints the packages, one a line.
# Usage: tools/install-dependencies.sh [--print] [--only GROUP] [PACKAGE...]
set -euo pipefail

list=$(dirname "${BASH_SOURCE[0]}")/packages.txt
group=""
print=0
if [ "${1:-}" = "--print" ]; then
    print=1
    shift
fi
if [ "${1:-}" = "--only" ]; then
    group=$2
    shift 2
fi

# The list's packages (of one group, or all), one a line, without comments and blank lines.
read_list() {
    awk -v group="$1" '
        /^[[:space:]]*(#|$)/ { next }
        /^\[.*\]$/ { current = substr($0, 2, length($0) - 2); next }
        group == "" || current == group { print $1 }' "$list"
}
if [ -n "$group" ] && ! grep -qxF "[$group]" "$list"; then
    echo "install-dependencies.sh: no group [$group] in $list" >&2
    exit 2
fi
mapfile -t packages < <(read_list "$group" | sort -u)
packages+=("$@")
if [ $print -eq 1 ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    run_as_root=()
else
    run_as_root=(sudo)
fi
"${run_as_root[@]}" apt-get update
"${run_as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
