#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Packages a Windows build of the program: stages spettro-segnale.exe with every DLL it loads
# (found by reading the PE imports, the program's and then each DLL's, so that none is
# forgotten), Qt's windows platform plugin, the image-format plugins its pictures need, Qt's
# Italian translations and the licences; then makes the installer with makensis
# (packaging/windows/installer.nsi) and the portable .zip:
#   OUTDIR/spettro-segnale-VERSION-setup.exe
#   OUTDIR/spettro-segnale-VERSION-windows-x86_64.zip
#   OUTDIR/stage/            what both hold, as installed
# VERSION is the executable's own (its version record's ProductVersion).
# Usage: tools/windows/package.sh EXE OUTDIR   (EXE: the program's spettro-segnale.exe, or the
#        stand-in of tools/windows/build-stand-in.sh)
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "Usage: $0 EXE OUTDIR" >&2
    exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"
exe=$(realpath "$1")
out=$(mkdir -p "$2" && realpath "$2")
fail() { echo "package.sh: $*" >&2; exit 1; }

"$root/tools/install-dependencies.sh" >&2

[ -f "$exe" ] || fail "$exe: no such file"
qt=$(grep -E '/qtbase-[0-9a-f]+$' "$cache/prefixes" 2>/dev/null || true)
[ -n "$qt" ] || fail "Qt is not in $cache: run tools/windows/build-dependencies.sh first"

work=$out/work
rm -rf "$work" "$out/stage"
mkdir -p "$work"
stage=$out/stage
mkdir -p "$stage"

# --- The version, from the executable ---------------------------------------------------------

wrestool --extract --raw --type=16 "$exe" >"$work/version.res" 2>/dev/null || true
[ -s "$work/version.res" ] || fail "$exe has no version record"
version=$(python3 "$here/windows_files.py" version "$work/version.res" |
    awk -F '\t' '$1 == "string.041004B0.ProductVersion" { print $2 }')
[[ "$version" =~ ^[0-9]+(\.[0-9]+)*$ ]] ||
    fail "$exe: no Italian ProductVersion of numbers in its version record (got '$version')"
wrestool --extract --type=group_icon --name=IDI_ICON1 "$exe" >"$work/spettro-segnale.ico" \
    2>/dev/null || true
[ -s "$work/spettro-segnale.ico" ] || fail "$exe has no icon IDI_ICON1"
name=spettro-segnale-$version
echo "Packaging $exe, version $version"

# --- The executable and every DLL it loads ----------------------------------------------------

objdump=$triplet-objdump
cxx=$triplet-g++-posix
# Where the DLLs that Windows does not have come from: Qt's folder in the cache (the other
# libraries there are static), then the MinGW runtime's own folders.
search=("$qt/bin")
for runtime in libstdc++-6.dll libwinpthread-1.dll; do
    path=$($cxx -print-file-name=$runtime)
    [ -f "$path" ] || fail "MinGW's $runtime not found ($cxx -print-file-name)"
    search+=("$(dirname "$(realpath "$path")")")
done

imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r'; }
find_dll() { # the DLL of that name (Windows' names ignore case) in the folders searched
    local dir found
    for dir in "${search[@]}"; do
        found=$(find "$dir" -maxdepth 1 -type f -iname "$1" -print -quit)
        [ -n "$found" ] && { echo "$found"; return 0; }
    done
    return 0
}
windows_dll() { # one of Windows' own: an API set, or a DLL MinGW has an import library for
    local lower=${1,,}
    [[ "$lower" == api-ms-win-* || "$lower" == ext-ms-win-* ]] ||
        [ -f "/usr/$triplet/lib/lib${lower%.dll}.a" ]
}

cp "$exe" "$stage/spettro-segnale.exe"
mkdir -p "$stage/platforms"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
queue=("$stage/spettro-segnale.exe" "$stage/platforms/qwindows.dll")

# Pictures in formats that QtGui does not read by itself need their image-format plugin: the
# program names them (Qt's resource names and its QStringLiterals are UTF-16).
declare -A plugin_of=([jpg]=qjpeg [jpeg]=qjpeg [gif]=qgif [ico]=qico [svg]=qsvg [svgz]=qsvg
    [tif]=qtiff [tiff]=qtiff [webp]=qwebp [icns]=qicns [tga]=qtga [wbmp]=qwbmp)
mapfile -t pictures < <({ strings -e b "$exe"; strings -e l "$exe"; } |
    grep -oiE '[[:alnum:]_/:.-]+\.(jpe?g|gif|ico|svgz?|tiff?|webp|icns|tga|wbmp)$' | sort -u)
for picture in "${pictures[@]}"; do
    extension=${picture##*.}
    plugin=${plugin_of[${extension,,}]}.dll
    [ -f "$stage/imageformats/$plugin" ] && continue
    [ -f "$qt/plugins/imageformats/$plugin" ] ||
        fail "$exe shows $picture, but Qt in the cache has no imageformats/$plugin"
    mkdir -p "$stage/imageformats"
    cp "$qt/plugins/imageformats/$plugin" "$stage/imageformats/"
    queue+=("$stage/imageformats/$plugin")
    echo "  $picture: imageformats/$plugin"
done

declare -A seen=()
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        [ -n "${seen[${dll,,}]:-}" ] && continue
        seen[${dll,,}]=1
        found=$(find_dll "$dll")
        if [ -n "$found" ]; then
            cp "$found" "$stage/$(basename "$found")"
            queue+=("$stage/$(basename "$found")")
        elif ! windows_dll "$dll"; then
            fail "$dll, loaded by $(basename "$file"), is neither in ${search[*]} nor one of Windows' own"
        fi
    done < <(imports "$file")
done

# The debugging symbols stay behind, as in the Debian package: a third of Qt's size, nine
# tenths of the MinGW runtime's. Resources (the icon, the version record) are kept.
find "$stage" -type f \( -name '*.dll' -o -name '*.exe' \) \
    -exec "$triplet-strip" --strip-unneeded {} +

# --- Qt's Italian translations ----------------------------------------------------------------

# Qt looks for them in translations/ beside the executable when its DLLs are there too (no
# qt.conf needed). Debian's files must be of the same Qt version as the DLLs.
qt_version=$(sed -n 's/^set(PACKAGE_VERSION "\([0-9.]*\)")$/\1/p' \
    "$qt/lib/cmake/Qt6Core/Qt6CoreConfigVersionImpl.cmake" "$qt/lib/cmake/Qt6Core/Qt6CoreConfigVersion.cmake" \
    2>/dev/null | head -n 1)
translations_version=$(dpkg-query -W -f='${Version}' qt6-translations-l10n)
[ "${qt_version%.*}" == "$(echo "$translations_version" | cut -d. -f1,2)" ] ||
    fail "Qt in the cache is $qt_version, Debian's qt6-translations-l10n is $translations_version"
mkdir -p "$stage/translations"
cp /usr/share/qt6/translations/qtbase_it.qm "$stage/translations/"

# --- Licences ---------------------------------------------------------------------------------

# The program's, with Windows' line ends; then the Debian copyright file of each library
# shipped (Qt's from the package of the same source, qt6-base) and of the translations, and
# the LGPL that Qt is under.
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
mkdir -p "$stage/licenses"
sed 's/$/\r/' /usr/share/common-licenses/LGPL-3 >"$stage/licenses/LGPL-3.txt"
for dll in "$stage"/*.dll; do
    base=$(basename "$dll")
    source=$(find_dll "$base")
    if [[ "$source" == "$qt/"* ]]; then
        package=libqt6core6
        name_of_copy=qt6-base
    else
        package=$(dpkg -S "$(realpath "$source")" 2>/dev/null | cut -d: -f1 | head -n 1)
        [ -n "$package" ] || fail "$base: no Debian package owns $source, so its licence is unknown"
        name_of_copy=$package
    fi
    copyright=/usr/share/doc/$package/copyright
    [ -f "$copyright" ] || fail "$base: $copyright not found"
    sed 's/$/\r/' "$copyright" >"$stage/licenses/$name_of_copy.txt"
done
sed 's/$/\r/' /usr/share/doc/qt6-translations-l10n/copyright \
    >"$stage/licenses/qt6-translations-l10n.txt"

# --- The installer ----------------------------------------------------------------------------

# Every name must go into NSIS strings and onto Windows as it is.
mapfile -t files < <(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
mapfile -t folders < <(cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | LC_ALL=C sort)
for path in "${files[@]}"; do
    [[ "$path" =~ ^[A-Za-z0-9._+/-]+$ ]] || fail "staged file with an unexpected name: $path"
done
{
    current=
    printf 'SetOutPath "$INSTDIR"\n'
    for path in "${files[@]}"; do
        folder=$(dirname "$path")
        [ "$folder" == . ] && folder=
        if [ "$folder" != "$current" ]; then
            printf 'SetOutPath "$INSTDIR\\%s"\n' "${folder//\//\\}"
            current=$folder
        fi
        printf 'File "%s"\n' "$stage/$path"
    done
} >"$work/install-files.nsh"
{
    for path in "${files[@]}"; do
        printf 'Delete /REBOOTOK "$INSTDIR\\%s"\n' "${path//\//\\}"
    done
    for ((i = ${#folders[@]} - 1; i >= 0; i--)); do
        printf 'RMDir /REBOOTOK "$INSTDIR\\%s"\n' "${folders[i]//\//\\}"
    done
} >"$work/uninstall-files.nsh"

setup=$out/$name-setup.exe
zip=$out/$name-windows-x86_64.zip
rm -f "$setup" "$zip"
nice -n 19 makensis -V2 -INPUTCHARSET UTF8 \
    "-DVERSION=$version" "-DSTAGE_DIR=$stage" \
    "-DINSTALL_FILES=$work/install-files.nsh" "-DUNINSTALL_FILES=$work/uninstall-files.nsh" \
    "-DICON=$work/spettro-segnale.ico" "-DOUTFILE=$setup" \
    "$root/packaging/windows/installer.nsi" >"$work/makensis.log" 2>&1 ||
    { cat "$work/makensis.log" >&2; fail "makensis failed"; }

# --- The portable .zip ------------------------------------------------------------------------

mkdir -p "$work/zip"
cp -a "$stage" "$work/zip/$name"
(cd "$work/zip" && nice -n 19 zip -q -r -X -9 "$zip" "$name")
rm -rf "$work/zip"

echo "Staged ${#files[@]} files in $stage:"
(cd "$stage" && find . -type f -printf '  %10s  %P\n' | LC_ALL=C sort -k 2)
stat -c '%n  %s bytes' "$setup" "$zip"
