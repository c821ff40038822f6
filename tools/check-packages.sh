#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Proves tools/packages.txt whole, and makes the test command's builds while it does. Installs
# the list into a minimal Debian 12 (mmdebstrap's variant apt: the essential packages and apt,
# less than any new machine has), then there configures and builds every build of the test
# command: release, debug-sanitizers, tsan and fuzz, and the Windows program with its libraries,
# its tests, its installer and its zip (tools/windows/build.sh). A package missing from the list
# fails here, at the first configure or build step that needs it, as it would on a new machine;
# a machine where the program was built before can no longer hide it.
#
# The repository and the Windows libraries' cache are mounted in the new system at their own
# paths, so that its builds are the test command's own: the same compilers, paths and
# packages, so what is built here is not built again outside. The system is kept under
# ${SPETTRO_CACHE:-$HOME/.cache/spettro-segnale}, named by a hash of the list's packages, and made
# again when they change.
#
# The Linux builds come first; then COMMAND, if given, runs outside (the test command runs the
# Linux tests) while the Windows build goes on inside at the lowest priority, and the script
# returns when both are done, failing if either failed. It needs root (mounts and chroot); as
# another user it says so and only runs COMMAND, and the builds are made outside as before.
#
# Usage: tools/check-packages.sh [COMMAND [ARGUMENT...]]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
list=$root/tools/packages.txt
cache=${SPETTRO_CACHE:-$HOME/.cache/spettro-segnale}
windows_cache=${SPETTRO_WINDOWS_CACHE:-$cache/windows}
mirror=${SPETTRO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
security=${SPETTRO_DEBIAN_SECURITY:-http://deb.debian.org/debian-security}

if [ "$(id -u)" -ne 0 ]; then
    echo "check-packages.sh: not root, so the package list is not checked in a new system"
    [ $# -eq 0 ] || exec "$@"
    exit 0
fi

started=$SECONDS
mapfile -t packages < <("$root/tools/install-dependencies.sh" --print)
key=$(printf '%s\n' "${packages[@]}" | sha256sum | cut -c 1-16)
system=$cache/package-check-$key
mkdir -p "$cache" "$windows_cache"

mounted=()
unmount_all() {
    local index
    for ((index = ${#mounted[@]} - 1; index >= 0; index--)); do
        umount -l "${mounted[$index]}" 2>/dev/null || true
    done
    mounted=()
}
trap unmount_all EXIT

# A folder is removed only with nothing mounted under it: a mount left behind would take the
# repository or the cache with it.
remove_system() {
    if findmnt -rn -o TARGET | grep -q "^$1"; then
        echo "check-packages.sh: something is still mounted under $1; not removing it" >&2
        exit 1
    fi
    rm -rf --one-file-system "$1"
}

for old in "$cache"/package-check-*; do
    [ -d "$old" ] && [ "$old" != "$system" ] && remove_system "$old"
done

if [ ! -f "$system/.complete" ]; then
    [ -d "$system" ] && remove_system "$system"
    echo "--- mmdebstrap bookworm (variant apt) with the ${#packages[@]} packages of tools/packages.txt"
    # The packages this machine has downloaded already are lent to the new system, which
    # fetches only the others.
    mmdebstrap --variant=apt --quiet --aptopt='Acquire::Retries "3"' \
        --include="$(IFS=,; echo "${packages[*]}")" \
        --setup-hook='mkdir -p "$1/var/cache/apt/archives"' \
        --setup-hook='find /var/cache/apt/archives -maxdepth 1 -name "*.deb" -exec cp -l -t "$1/var/cache/apt/archives" {} + 2>/dev/null || true' \
        bookworm "$system" \
        "deb $mirror bookworm main" \
        "deb $mirror bookworm-updates main" \
        "deb $security bookworm-security main"
    touch "$system/.complete"
    echo "the new system took $((SECONDS - started)) s"
fi

bind() {
    mkdir -p "$system$2"
    mount --bind "$1" "$system$2"
    mounted+=("$system$2")
}
mkdir -p "$system/proc" "$system/sys" "$system/dev"
mount -t proc proc "$system/proc" && mounted+=("$system/proc")
bind /sys /sys
bind /dev /dev
bind /dev/pts /dev/pts
bind "$root" "$root"
bind "$windows_cache" "$windows_cache"
cp /etc/resolv.conf "$system/etc/resolv.conf" 2>/dev/null || true

# The new system starts from an empty environment, the project's own settings passed on.
environment=(PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8
    "SPETTRO_WINDOWS_CACHE=$windows_cache" "SPETTRO_CACHE=$cache")
in_system() {
    chroot "$system" env -i "${environment[@]}" bash -euo pipefail -c 'cd "$1"; shift; "$@"' \
        in_system "$root" "$@"
}
fail() {
    echo "FAIL: with only the packages of tools/packages.txt $1 ($((SECONDS - started)) s);" \
        "the first error names what is missing" >&2
    exit 1
}

echo "--- the Linux builds, in the new system"
for preset in release debug-sanitizers tsan fuzz; do
    in_system cmake --preset "$preset" >/dev/null || fail "the $preset build does not configure"
    in_system cmake --build --preset "$preset" || fail "the $preset build fails"
done

# The Windows build, the longest by far (its libraries take half an hour on a new machine),
# goes on in the new system at the lowest priority while COMMAND runs here: it takes the cores
# the command leaves idle.
windows_log=$root/build/windows-in-new-system.log
mkdir -p "$root/build"
echo "--- the Windows build, in the new system (log: $windows_log)"
windows_started=$SECONDS
setsid nice -n 19 chroot "$system" env -i "${environment[@]}" \
    bash -c 'cd "$1" && tools/windows/build.sh' windows_build "$root" >"$windows_log" 2>&1 &
windows_build=$!
stop_windows_build() {
    kill -0 "$windows_build" 2>/dev/null && kill -- "-$windows_build" 2>/dev/null
    wait "$windows_build" 2>/dev/null
    unmount_all
}
trap stop_windows_build EXIT

command_status=0
if [ $# -gt 0 ]; then
    "$@" || command_status=$?
fi
windows_status=0
wait "$windows_build" || windows_status=$?
echo "=== the Windows build: $((SECONDS - windows_started)) s, done $((SECONDS - started)) s after the start"
unmount_all
if [ $windows_status -ne 0 ]; then
    tail -n 60 "$windows_log" >&2
    [ $command_status -ne 0 ] && echo "FAIL: $* failed too (status $command_status)" >&2
    fail "the Windows build fails"
fi
[ $command_status -eq 0 ] || { echo "FAIL: $* (status $command_status)" >&2; exit 1; }
echo "tools/packages.txt is whole: every build configures and builds with it alone" \
    "($((SECONDS - started)) s)"
