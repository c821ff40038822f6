#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a configured and built tree and checks what it holds: the
# control fields, every installed file, the icons' sizes, the desktop entry and metainfo as
# installed, the changelog's version, and lintian's verdict (no error, no warning; the info
# tags are printed).
# Usage: packaging/check-package.sh BUILD_DIR VERSION
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR VERSION" >&2
    exit 2
fi
build_dir=$(cd "$1" && pwd)
version=$2

app_id=it.spettrosegnale.SpettroSegnale
package=spettro-segnale
icon_sizes=(16 32 48 64 128 256)
licence=GPL-3.0-or-later

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "ok: $*"
}

missing_tools=()
for tool in cpack:cmake dpkg-deb:dpkg dpkg-shlibdeps:dpkg-dev file:file readelf:binutils \
            desktop-file-validate:desktop-file-utils appstreamcli:appstream lintian:lintian \
            dpkg-parsechangelog:dpkg-dev; do
    command -v "${tool%%:*}" >/dev/null || missing_tools+=("${tool%%:*} (Debian package ${tool#*:})")
done
if [ ${#missing_tools[@]} -ne 0 ]; then
    printf 'FAIL: missing tool: %s\n' "${missing_tools[@]}" >&2
    exit 1
fi
if [ ! -f "$build_dir/CPackConfig.cmake" ]; then
    echo "FAIL: $build_dir/CPackConfig.cmake not found: configure the build tree first" >&2
    exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/spettro-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

# --- Build the package ------------------------------------------------------------------------

if ! (cd "$build_dir" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack -G DEB did not make the package" >&2
    exit 1
fi
shopt -s nullglob
debs=("$work"/out/*.deb)
shopt -u nullglob
if [ ${#debs[@]} -ne 1 ]; then
    cat "$work/cpack.log" >&2
    echo "FAIL: expected one .deb in $work/out, found ${#debs[@]}" >&2
    exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb")"

# --- Control fields ---------------------------------------------------------------------------

dpkg-deb -I "$deb" >"$work/info.txt"
field() {
    dpkg-deb -f "$deb" "$1"
}

[ "$(field Package)" = "$package" ] \
    && pass "Package: $package" \
    || fail "Package is '$(field Package)', expected '$package'"
[ "$(field Version)" = "$version" ] \
    && pass "Version: $version" \
    || fail "Version is '$(field Version)', expected '$version'"
[ "$(basename "$deb")" = "${package}_${version}_$(field Architecture).deb" ] \
    && pass "file name $(basename "$deb")" \
    || fail "file name is '$(basename "$deb")', expected '${package}_${version}_$(field Architecture).deb'"

depends=$(field Depends)
if [ -z "$depends" ]; then
    fail "the package has no Depends line"
else
    echo "Depends: $depends"
fi
for needed in libqt6widgets6 libxlsxwriter4 fonts-liberation2 qt6-qpa-plugins qt6-translations-l10n \
              libc6; do
    # A dependency is a name at the start of the line or after a comma or a bar.
    if grep -Eq "(^|[,|])[[:space:]]*${needed}([[:space:](,|]|$)" <<<"$depends"; then
        pass "Depends names $needed"
    else
        fail "Depends does not name $needed"
    fi
done
# Qt's Wayland platform is suggested, neither required nor installed by default.
if grep -Eq "(^|[,|])[[:space:]]*qt6-wayland([[:space:](,|]|$)" <<<"$(field Suggests)"; then
    pass "Suggests names qt6-wayland"
else
    fail "Suggests does not name qt6-wayland"
fi
if grep -Eq "(^|[,|])[[:space:]]*qt6-wayland([[:space:](,|]|$)" <<<"$depends $(field Recommends)"; then
    fail "Depends or Recommends names qt6-wayland, which XWayland makes unneeded"
fi
[ "$(field Section)" = "science" ] \
    && pass "Section: science" \
    || fail "Section is '$(field Section)', expected 'science'"
[ -n "$(field Maintainer)" ] \
    && pass "Maintainer: $(field Maintainer)" \
    || fail "the package has no Maintainer"
[ -n "$(field Homepage)" ] \
    && pass "Homepage: $(field Homepage)" \
    || fail "the package has no Homepage"

# --- Files ------------------------------------------------------------------------------------

root=$work/root
dpkg-deb -x "$deb" "$root"

expected=(
    "usr/bin/$package"
    "usr/share/applications/$app_id.desktop"
    "usr/share/metainfo/$app_id.metainfo.xml"
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    "usr/share/man/man1/$package.1.gz"
    "usr/share/doc/$package/changelog.gz"
    "usr/share/doc/$package/copyright"
)
for size in "${icon_sizes[@]}"; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done

# Exactly these files, nothing left out and nothing else (no libraries, headers or tests).
(cd "$root" && find . -type f -printf '%P\n' | sort) >"$work/files.txt"
printf '%s\n' "${expected[@]}" | sort >"$work/expected.txt"
if diff -u "$work/expected.txt" "$work/files.txt" >"$work/files.diff"; then
    pass "the package holds exactly the ${#expected[@]} expected files"
else
    fail "the package's files differ from the expected ones (- missing, + unexpected):"
    sed -n '3,$p' "$work/files.diff" >&2
fi

binary=$root/usr/bin/$package
if [ -f "$binary" ]; then
    [ -x "$binary" ] \
        && pass "usr/bin/$package is executable" \
        || fail "usr/bin/$package has no executable bit"
    kind=$(file -b "$binary")
    [[ $kind == ELF* ]] \
        && pass "usr/bin/$package is $kind" \
        || fail "usr/bin/$package is not an ELF program: $kind"
    # The installed program finds its libraries where the system keeps them, never through
    # a library path of its own (into the build tree or beside itself).
    search_path=$(readelf -d "$binary" | grep -E '\((RPATH|RUNPATH)\)' || true)
    if [ -z "$search_path" ]; then
        pass "usr/bin/$package has no RPATH or RUNPATH"
    else
        fail "usr/bin/$package has a library search path: $search_path"
    fi
else
    fail "usr/bin/$package is missing"
fi

for size in "${icon_sizes[@]}"; do
    icon=usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ -f "$root/$icon" ] || { fail "$icon is missing"; continue; }
    kind=$(file -b "$root/$icon")
    if [[ $kind == "PNG image data, $size x $size,"* ]]; then
        pass "$icon is a $size x $size PNG"
    else
        fail "$icon is not a $size x $size PNG: $kind"
    fi
done
svg=usr/share/icons/hicolor/scalable/apps/$app_id.svg
if [ -f "$root/$svg" ]; then
    kind=$(file -b "$root/$svg")
    [[ $kind == SVG* ]] \
        && pass "$svg is an SVG image" \
        || fail "$svg is not an SVG image: $kind"
fi

# --- The installed desktop entry and metainfo -------------------------------------------------

desktop=$root/usr/share/applications/$app_id.desktop
if [ -f "$desktop" ]; then
    if desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 \
            && ! grep -Eq 'error:|warning:' "$work/desktop.log"; then
        pass "desktop-file-validate accepts the installed desktop entry"
        sed 's/^/  /' "$work/desktop.log"
    else
        fail "desktop-file-validate rejects the installed desktop entry:"
        cat "$work/desktop.log" >&2
    fi
    # The entry must start the installed program and name the installed icon.
    entry_value() {
        sed -n "/^\[Desktop Entry\]/,/^\[/s/^$1=//p" "$desktop" | head -n 1
    }
    exec_program=$(entry_value Exec | awk '{print $1}')
    [ -x "$root/usr/bin/$exec_program" ] \
        && pass "Exec=$exec_program is the installed program" \
        || fail "Exec names '$exec_program', which is not installed in usr/bin"
    [ "$(entry_value Icon)" = "$app_id" ] \
        && pass "Icon=$app_id" \
        || fail "Icon is '$(entry_value Icon)', expected '$app_id'"
fi

metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
if [ -f "$metainfo" ]; then
    if appstreamcli validate --no-net --strict "$metainfo" >"$work/metainfo.log" 2>&1; then
        pass "appstreamcli validate accepts the installed metainfo"
        sed 's/^/  /' "$work/metainfo.log"
    else
        fail "appstreamcli validate rejects the installed metainfo:"
        cat "$work/metainfo.log" >&2
    fi
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
        && pass "the metainfo launches $app_id.desktop" \
        || fail "the metainfo's launchable is not $app_id.desktop"
    grep -q "<project_license>$licence</project_license>" "$metainfo" \
        && pass "the metainfo's project licence is $licence" \
        || fail "the metainfo's project licence is not $licence"
    grep -q "<release version=\"$version\"" "$metainfo" \
        && pass "the metainfo lists release $version" \
        || fail "the metainfo lists no release $version"
fi

# --- The copyright file ---------------------------------------------------------------------

copyright=$root/usr/share/doc/$package/copyright
if [ -f "$copyright" ]; then
    head -n 1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
        && pass "the copyright file is machine-readable" \
        || fail "the copyright file does not start with the machine-readable Format line"
    # The first Files paragraph, the one for every file, names the project's licence.
    sed -n '/^Files: \*$/,/^$/p' "$copyright" | grep -q "^License: $licence\$" \
        && pass "the copyright file gives every file the licence $licence" \
        || fail "the copyright file's 'Files: *' paragraph does not say $licence"
fi

# --- The changelog ----------------------------------------------------------------------------

changelog=$root/usr/share/doc/$package/changelog.gz
if [ -f "$changelog" ]; then
    gzip -dc "$changelog" >"$work/changelog"
    changelog_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
    [ "$changelog_version" = "$version" ] \
        && pass "the changelog's latest entry is version $version" \
        || fail "the changelog's latest entry is version '$changelog_version', expected '$version'"
fi

# --- lintian ----------------------------------------------------------------------------------

# Errors and warnings fail; the info tags are shown, to be read.
if lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1; then
    pass "lintian finds no error and no warning"
    if grep -q '^[EWIPX]: ' "$work/lintian.log"; then
        echo "lintian's remaining tags:"
        grep '^[EWIPX]: ' "$work/lintian.log" | sed 's/^/  /'
    fi
else
    fail "lintian finds errors or warnings:"
    cat "$work/lintian.log" >&2
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all package checks passed"
