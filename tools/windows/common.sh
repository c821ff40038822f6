# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# What the Windows scripts share, sourced by each of them (source "$here/common.sh"): the source
# tree's top folder, where the libraries' cache is, the MinGW triplet and the project's version.
# It only sets variables and defines functions, and leaves the shell's options to the script.

# The source tree's top folder.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The libraries' cache of tools/windows/build-dependencies.sh.
cache=${SPETTRO_WINDOWS_CACHE:-$HOME/.cache/spettro-segnale/windows}
# Debian's MinGW-w64 for x86-64: its compilers and binutils are named after it. A plain
# variable: build-dependencies.sh puts its declaration in every library's key.
triplet=x86_64-w64-mingw32

# project_version: prints the program's version, the VERSION of the project() in the top
# CMakeLists.txt; says so and fails when there is none.
project_version() {
    local version
    version=$(sed -n '/^project(/,/)/s/^[[:space:]]*VERSION \([0-9.]*\)$/\1/p' "$root/CMakeLists.txt")
    if [ -z "$version" ]; then
        echo "No VERSION in the project() of $root/CMakeLists.txt" >&2
        return 1
    fi
    echo "$version"
}
