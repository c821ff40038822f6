#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Installs the Debian package on a minimal Debian 12 system, as a new user's machine would
# have it, and starts the program there: proves that the package declares everything the
# program needs (Qt's platform plugin, Qt's Italian translations, the font it draws with).
#
# mmdebstrap builds the system (apt and the essential packages only) from the Debian mirror;
# the package goes in with `apt-get install --no-install-recommends`; only then are the X
# server and xdotool added, which bring nothing the program uses. The program is started
# under xvfb-run and its window "Spettro Segnale" must appear within a minute.
#
# Usage: tools/check-clean-install.sh [PACKAGE.deb | BUILD_DIR]
#   Given a build tree (build/release by default, configured and built), makes its package.
#   Runs as root (mmdebstrap's root mode) or, as another user, in a user namespace.
#   SPETTRO_DEBIAN_MIRROR changes the mirror (http://deb.debian.org/debian by default).
set -euo pipefail
cd "$(dirname "$0")/.."

started=$SECONDS
for tool in mmdebstrap:mmdebstrap cpack:cmake; do
    if ! command -v "${tool%%:*}" >/dev/null; then
        echo "FAIL: ${tool%%:*} not found: install the Debian package ${tool#*:}" >&2
        exit 1
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/spettro-clean-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

given=${1:-build/release}
if [ -f "$given" ]; then
    deb=$(realpath "$given")
else
    if [ ! -f "$given/CPackConfig.cmake" ]; then
        echo "FAIL: $given is not a configured build tree: run cmake --preset release and build" >&2
        exit 1
    fi
    (cd "$given" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 \
        || { cat "$work/cpack.log" >&2; echo "FAIL: cpack did not make the package" >&2; exit 1; }
    deb=$(find "$work/out" -maxdepth 1 -name '*.deb' | head -n 1)
fi
[ -f "$deb" ] || { echo "FAIL: no package at '$deb'" >&2; exit 1; }
echo "package: $(basename "$deb")"
cp "$deb" "$work/spettro-segnale.deb"

# What runs inside the new system once it is built.
cat >"$work/inside.sh" <<'EOF'
#!/bin/sh
set -eu
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 HOME=/root XDG_RUNTIME_DIR=/tmp/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

echo "--- apt-get install --no-install-recommends ./spettro-segnale.deb"
apt-get update -qq
apt-get install -y -q --no-install-recommends /tmp/spettro-segnale.deb >/tmp/apt.log 2>&1 \
    || { cat /tmp/apt.log >&2; echo "FAIL: the package does not install" >&2; exit 1; }
grep -E '^(Setting up|Unpacking) spettro-segnale' /tmp/apt.log || true
echo "packages installed: $(dpkg-query -W | wc -l)"
for package in qt6-qpa-plugins qt6-translations-l10n fonts-liberation2 libqt6widgets6; do
    dpkg-query -W -f='${Package} ${Version}\n' "$package" || fail "$package not installed"
done

echo "--- what the program will find"
if [ -f /usr/share/qt6/translations/qtbase_it.qm ]; then
    echo "Qt's Italian translations: /usr/share/qt6/translations/qtbase_it.qm"
else
    fail "no /usr/share/qt6/translations/qtbase_it.qm"
fi
bold=$(fc-match -f '%{file}' 'Liberation Sans:bold')
echo "Liberation Sans bold: $bold"
case $bold in
    */LiberationSans-Bold.ttf) ;;
    *) fail "Liberation Sans bold resolves to '$bold'" ;;
esac

# The X server and the window search come after the package: nothing they bring counts.
echo "--- xvfb-run spettro-segnale"
apt-get install -y -q --no-install-recommends xvfb xauth xdotool >/tmp/apt-x.log 2>&1 \
    || { cat /tmp/apt-x.log >&2; echo "FAIL: xvfb or xdotool does not install" >&2; exit 1; }
cat >/tmp/start.sh <<'START'
#!/bin/sh
echo "display $DISPLAY"
# The X server answers before the program starts: on a loaded machine the program was once seen
# unable to connect to a display that xvfb-run had just given it.
tries=0
until xdotool getdisplaygeometry >/dev/null 2>&1 || [ $tries -ge 60 ]; do
    sleep 1
    tries=$((tries + 1))
done
echo "the display answered after about ${tries} s"
spettro-segnale >/tmp/program.log 2>&1 &
program=$!
window=
tries=0
while [ $tries -lt 60 ] && kill -0 $program 2>/dev/null; do
    window=$(xdotool search --onlyvisible --name '^Spettro Segnale$' 2>/tmp/xdotool.log | head -n 1)
    [ -n "$window" ] && break
    sleep 1
    tries=$((tries + 1))
done
if [ -z "$window" ]; then
    echo "no window 'Spettro Segnale' appeared in ${tries} s" >&2
    if kill -0 $program 2>/dev/null; then
        echo "the program is still running; the windows shown:" >&2
        xdotool search --onlyvisible --name '' getwindowname %@ >&2 || true
        kill $program
    else
        wait $program
        echo "the program ended with status $?" >&2
    fi
    sed 's/^/  xdotool: /' /tmp/xdotool.log >&2
    exit 1
fi
echo "window 'Spettro Segnale' appeared after about ${tries} s: id $window"
xdotool getwindowgeometry "$window"
kill $program
wait $program 2>/dev/null || true
START
# The new system shares the machine's network namespace, and with it the abstract sockets of
# any X server running on the machine at the same display number (another xvfb-run): the X
# server and its clients get a network namespace of their own.
if unshare --net xvfb-run -a -e /tmp/xvfb.log -s '-screen 0 1280x1024x24' sh /tmp/start.sh
then
    :
else
    fail "the installed program did not show its window"
    sed 's/^/  Xvfb: /' /tmp/xvfb.log >&2
fi
if [ -s /tmp/program.log ]; then
    echo "the program's own output:"
    sed 's/^/  /' /tmp/program.log
fi
if grep -qi 'platform plugin\|qtbase_it.qm' /tmp/program.log; then
    fail "the program complains of a missing plugin or translation"
fi
exit $failures
EOF

mirror=${SPETTRO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
security=${SPETTRO_DEBIAN_SECURITY:-http://deb.debian.org/debian-security}
echo "--- mmdebstrap bookworm (variant apt) from $mirror"
status=0
# A download that fails is tried again, here and by apt inside the new system. The new system
# starts from an empty environment, as a user's session would, not from this one (CTest's
# QT_QPA_PLATFORM=offscreen would keep the window off the X server).
mmdebstrap --variant=apt --quiet --aptopt='Acquire::Retries "3"' \
    --customize-hook="copy-in $work/spettro-segnale.deb $work/inside.sh /tmp" \
    --customize-hook='chroot "$1" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin sh /tmp/inside.sh' \
    bookworm /dev/null \
    "deb $mirror bookworm main" \
    "deb $mirror bookworm-updates main" \
    "deb $security bookworm-security main" || status=$?

elapsed=$((SECONDS - started))
if [ $status -ne 0 ]; then
    echo "FAIL: the clean installation failed ($elapsed s)" >&2
    exit 1
fi
echo "the package installs on a clean Debian 12 and its program opens its window ($elapsed s)"
