#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs a cross-built QtTest program under wine (tools/windows/wine-run.sh) on the offscreen
# platform, whose screen tests/support/test-screen.json gives, and prints its log, which QtTest under wine writes to a file but not to a pipe. Wine
# passes on no QT_* variable of the environment: the platform is given on the command line, and
# variables named before the program are set by Windows' own command interpreter. Exits with the
# test's status.
#
# Usage: tools/windows/run-qtest.sh [NAME=VALUE...] TEST.exe [ARGUMENT...]
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
settings=()
while [[ $# -gt 0 && $1 == *=* ]]; do
    settings+=("$1")
    shift
done
program=$(realpath "$1")
shift
log=$(mktemp "${TMPDIR:-/tmp}/qtest-XXXXXX.txt")
trap 'rm -f "$log"' EXIT
windows() { printf 'Z:%s' "${1//\//\\}"; }
# The screen's file by a name relative to the folder the test runs in: the platform's option
# cannot hold a drive's colon.
cd "$here/../../tests/support"
arguments=(-platform offscreen:configfile=test-screen.json -o "$(windows "$log"),txt" "$@")
if [ ${#settings[@]} -eq 0 ]; then
    "$here/wine-run.sh" "$program" "${arguments[@]}"
else
    line=""
    for setting in "${settings[@]}"; do
        line+="set $setting&& "
    done
    "$here/wine-run.sh" cmd /c "$line$(windows "$(realpath "$program")") ${arguments[*]}"
fi
status=$?
cat "$log"
exit $status
