# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by the test scripts: step NAME COMMAND [ARGUMENT...] runs the command and then prints
# "=== NAME: W s (CPU: U s user, S s system)", its wall time and the CPU time of all it started.
step() {
    local TIMEFORMAT="=== $1: %0R s (CPU: %0U s user, %0S s system)"
    shift
    time "$@"
}
