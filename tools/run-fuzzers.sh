#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target of build/fuzz for the given number of seconds (60 by default), starting
# from a copy of its committed seed corpus. A crash or a broken invariant fails the run and
# leaves the input that caused it in build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
findings=build/fuzz/findings
mkdir -p "$findings"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One target a core at a time: each is one process on one thread, so the cores share the
# targets and every target still runs its full time.
jobs=$(nproc)
run_target() {
    local name=$1 target=build/fuzz/tests/fuzz/fuzz_$1
    "$target" "$work/$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$findings/${name}-" >"$work/$name.log" 2>&1
    echo $? >"$work/$name.status"
}
names=()
for corpus in tests/fuzz/corpus/*/; do
    name=$(basename "$corpus")
    names+=("$name")
    mkdir -p "$work/$name"
    cp "$corpus"/* "$work/$name/"
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    echo "== fuzz_$name for ${seconds} s"
    run_target "$name" &
done
wait

status=0
for name in "${names[@]}"; do
    echo "== fuzz_$name"
    if [ "$(cat "$work/$name.status")" -ne 0 ]; then
        tail -40 "$work/$name.log"
        echo "fuzz_$name failed; the input is in $findings/" >&2
        status=1
    fi
    grep -E '^stat::number_of_executed_units|^Done' "$work/$name.log" || true
done
exit $status
