#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a QtTest window test on Qt's Wayland platform, under a Weston of its own with the
# headless backend, and stops that Weston afterwards, whatever happens.
# Usage: tools/run-under-weston.sh [--weston-option OPTION]... [--except FUNCTION]... \
#            TEST [TEST ARGUMENTS...]
#   --weston-option  passed to weston (--scale=2, say)
#   --except         a test function of TEST left out of the run; every other one runs
set -euo pipefail

weston_options=()
excepted=()
while [ $# -gt 0 ]; do
    case $1 in
    --weston-option) weston_options+=("$2"); shift 2 ;;
    --except) excepted+=("$2"); shift 2 ;;
    *) break ;;
    esac
done
if [ $# -eq 0 ]; then
    echo "usage: $0 [--weston-option OPTION]... [--except FUNCTION]... TEST [ARGUMENTS...]" >&2
    exit 2
fi
if ! command -v weston >/dev/null; then
    echo "weston not found: install the Debian package weston" >&2
    exit 1
fi

# A runtime folder of its own, as the Wayland protocol wants it (private to the user), holds the
# socket, so that runs side by side never meet and nothing is left in the user's.
runtime=$(mktemp -d "${TMPDIR:-/tmp}/spettro-wayland.XXXXXX")
chmod 0700 "$runtime"
socket=$(basename "$runtime")
weston_pid=
test_pid=
stop() {
    if [ -n "$test_pid" ]; then
        kill "$test_pid" 2>/dev/null || true
        wait "$test_pid" 2>/dev/null || true
    fi
    if [ -n "$weston_pid" ]; then
        kill "$weston_pid" 2>/dev/null || true
        wait "$weston_pid" 2>/dev/null || true
    fi
    rm -rf "$runtime"
}
trap stop EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# No configuration of the user's; no screen blanking, whose fade would hide the windows.
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" --no-config \
    --idle-time=0 --width=1920 --height=1080 "${weston_options[@]}" \
    >"$runtime/weston.log" 2>&1 &
weston_pid=$!

# Weston makes its socket once it listens: wait for it, ten seconds at most.
for _ in $(seq 100); do
    [ -S "$runtime/$socket" ] && break
    if ! kill -0 "$weston_pid" 2>/dev/null; then
        cat "$runtime/weston.log" >&2
        echo "weston stopped before it made its socket" >&2
        exit 1
    fi
    sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
    cat "$runtime/weston.log" >&2
    echo "weston made no socket in ten seconds" >&2
    exit 1
fi

# The headless backend has no seat: no keyboard, no pointer. Qt 6.4's own Wayland input context
# (the text-input protocol, which Weston offers) reads the seat on every key and crashes without
# one, so the tests' keys go through the compose context, the one Qt uses on X11. A desktop
# always has a seat; the program itself sets no input context.
run=(env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$socket" XDG_RUNTIME_DIR="$runtime"
     QT_IM_MODULE=compose)

test=$1
shift
functions=()
if [ ${#excepted[@]} -gt 0 ]; then
    # QtTest lists its functions as "name()"; a name excepted that the test does not have is an
    # error, so that a renamed test never runs by mistake.
    mapfile -t all < <("${run[@]}" "$test" -functions | sed -n 's/()$//p')
    for name in "${excepted[@]}"; do
        if ! printf '%s\n' "${all[@]}" | grep -qx -- "$name"; then
            echo "$test has no test function $name" >&2
            exit 1
        fi
    done
    for name in "${all[@]}"; do
        printf '%s\n' "${excepted[@]}" | grep -qx -- "$name" || functions+=("$name")
    done
fi

# In the background and waited for, so that a signal to this script stops the test and Weston
# at once rather than after the test.
"${run[@]}" "$test" "$@" "${functions[@]}" &
test_pid=$!
status=0
wait "$test_pid" || status=$?
test_pid=
if [ "$status" -ne 0 ]; then
    echo "--- weston's log" >&2
    cat "$runtime/weston.log" >&2
fi
exit "$status"
