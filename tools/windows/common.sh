# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
#
# What the Windows scripts share, sourced by each of them (source "$here/common.sh"): the source
# tree's top folder, where the libraries' cache is, the MinGW triplet, the project's version, and
# wine and Xvfb as the scripts start them. It only sets variables and defines functions, and
# leaves the shell's options to the script.

# The source tree's top folder.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The libraries' cache of tools/windows/build-dependencies.sh.
# shellcheck disable=SC2034 # for the scripts that source this file, as are the next ones
cache=${SPETTRO_WINDOWS_CACHE:-$HOME/.cache/spettro-segnale/windows}
# Debian's MinGW-w64 for x86-64: its compilers and binutils are named after it. A plain
# variable: build-dependencies.sh puts its declaration in every library's key.
# shellcheck disable=SC2034
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

# arguments_between LOW HIGH USAGE ARGUMENTS...: says USAGE and exits with 2 unless there are
# LOW to HIGH arguments.
arguments_between() {
    local low=$1 high=$2 usage=$3
    shift 3
    if [ $# -lt "$low" ] || [ $# -gt "$high" ]; then
        echo "Usage: $usage" >&2
        exit 2
    fi
}

# work_folder NAME [WORK_DIR]: sets work to the folder a test works in and keep_work to 1 where it
# was given (it is kept, with the wine prefixes and logs), else to a new one under /tmp named
# after NAME, and keep_work to 0: the caller removes it at the end.
work_folder() {
    if [ $# -eq 2 ]; then
        work=$(mkdir -p "$2" && realpath "$2")
        keep_work=1
    else
        work=$(mktemp -d "/tmp/$1.XXXXXX")
        keep_work=0
    fi
}

# --- Wine ---------------------------------------------------------------------------------------

# find_wine: sets wine64 and wineserver. Debian's wine64 package puts its loader and server in
# /usr/lib/wine (the wine package, not needed here, adds the /usr/bin/wine launcher).
find_wine() {
    wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
    wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
}

# Wine's DLL overrides: Mono (mscoree) and Gecko (mshtml) disabled, so that a new prefix neither
# installs nor asks for them.
wine_overrides=mscoree,mshtml=
# Where installers run: winemenubuilder disabled too, so that the Start-menu entries and icons
# they make give the Unix desktop none of its own.
# shellcheck disable=SC2034
wine_overrides_no_menus="$wine_overrides;winemenubuilder.exe=d"

# wine_environment OVERRIDES [DEBUG]: exports WINELOADER (wine64, after find_wine),
# WINEDLLOVERRIDES=OVERRIDES and, when DEBUG is given, WINEDEBUG=DEBUG.
wine_environment() {
    export WINELOADER=$wine64 WINEDLLOVERRIDES=$1
    if [ $# -ge 2 ]; then export WINEDEBUG=$2; fi
}

# wine_boot LOG: starts $WINEPREFIX's Windows with wineboot --init, which makes the prefix when it
# is new; quiet (WINEDEBUG=-all), its output added to LOG. Returns wineboot's status.
wine_boot() {
    WINEDEBUG=-all "$wine64" wineboot --init >>"$1" 2>&1
}

# wine_settle: waits until every process of $WINEPREFIX has ended (the wine server with them), at
# most 2 minutes.
wine_settle() {
    timeout 120 "$wineserver" --wait || echo "wine processes still running after 2 minutes"
}

# wine_quiet PROGRAM [ARGUMENT...]: runs it under wine without wine's debugging output.
wine_quiet() { WINEDEBUG=-all "$wine64" "$@"; }
# wine_env NAME: the value of a Windows environment variable in $WINEPREFIX.
wine_env() { wine_quiet cmd /c echo "%$1%" | tr -d '\r'; }

# --- Xvfb ---------------------------------------------------------------------------------------

xvfb_pid=

# start_xvfb WIDTHxHEIGHT FOLDER: starts Xvfb with a 24-bit screen of that size on a free display
# (Xvfb picks it and writes its number to FOLDER/display; its messages go to FOLDER/xvfb.log),
# sets xvfb_pid and exports DISPLAY. Exits when Xvfb has not started within 10 s. Pair it with
# stop_xvfb in the script's cleanup.
start_xvfb() {
    local screen=$1 folder=$2
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$folder/display" ] && break; sleep 0.1; done
    [ -s "$folder/display" ] || { cat "$folder/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
    DISPLAY=:$(head -n 1 "$folder/display")
    export DISPLAY
}

# stop_xvfb: stops the Xvfb of start_xvfb, if one was started.
stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
