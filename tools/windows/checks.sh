# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The tally the Windows test scripts keep, sourced by them: each check prints "pass: NAME" or
# "FAIL: NAME: ..." and is counted; they end with "N passed, N failed".

passes=0
failures=0
check() { # check NAME EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        echo "pass: $1"
        passes=$((passes + 1))
    else
        echo "FAIL: $1: expected '$2', got '$3'"
        failures=$((failures + 1))
    fi
}
field() { awk -F '\t' -v key="$1" '$1 == key { print $2 }'; } # field KEY < "KEY<tab>VALUE" lines
