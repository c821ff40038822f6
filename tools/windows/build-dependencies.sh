#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Cross-builds the third-party libraries of the Windows build (x86-64, Windows 10/11) on Debian 12
# with Debian's MinGW-w64 (POSIX threads), each from Debian's own source package (apt-get
# source): FFTW 3, SLEEF, zlib, libxlsxwriter, GoogleTest and Qt 6's qtbase. Installs with
# apt-get what it needs and is missing, and adds a deb-src entry for bookworm when there is none.
# Each library goes into its own folder of the cache, named by a key: the hash of the source
# package's .dsc, of this script's text for that library, of the toolchain file, of the
# compiler's version and of the keys of the libraries it is built on. A library whose folder is
# there and complete is not built again, so a rerun with nothing changed does nothing, and a
# change rebuilds only the libraries it touches (and those built on them).
#
# Usage: tools/windows/build-dependencies.sh [LIBRARY...]   (every library when none is named)
# The cache is ${SPETTRO_WINDOWS_CACHE:-$HOME/.cache/spettro-segnale/windows}; the sources are
# fetched and built in its work/ folder; at the end its prefixes file lists the libraries'
# folders, one a line, for CMAKE_PREFIX_PATH.
#
# Static or shared: Qt is built shared, because its platform plugins are DLLs loaded at run time
# that must share one QtCore and QtGui with the program, and the installer will carry the DLLs.
# The others are built static (FFTW, SLEEF, zlib, libxlsxwriter, GoogleTest): they are linked
# into the program, so no DLL of theirs has to be found or shipped, and no import/export macro
# (dllimport) has to match between the library and the program.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"
toolchain=$here/mingw-w64-x86_64.cmake
work=$cache/work
jobs=2
niced=(nice -n 19)
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)


# Adds a deb-src entry for bookworm's main when no source entry is there: the URI (and options,
# key) of the deb entry for bookworm, as deb-src, suite bookworm only. Only bookworm itself: the
# archive this machine reaches does not serve the sources of bookworm-security (zlib's update
# is missing there), and bookworm's own versions are those of the host's libraries. Runs
# apt-get update once when it added it.
ensure_deb_src() {
    local files=() file
    [ -f /etc/apt/sources.list ] && files+=(/etc/apt/sources.list)
    for file in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && files+=("$file")
    done
    if [ ${#files[@]} -gt 0 ] &&
        grep -Eqs '^[[:space:]]*(deb-src[[:space:]].*[[:space:]]bookworm[[:space:]]|Types:.*deb-src)' "${files[@]}"; then
        return 0
    fi
    local entry=""
    for file in "${files[@]}"; do
        case $file in
        *.list)
            entry=$(sed -nE 's/^[[:space:]]*deb([[:space:]].*[[:space:]])bookworm[[:space:]].*$/deb-src\1bookworm main/p' "$file" | head -n 1)
            [ -n "$entry" ] && printf '%s\n' "$entry" |
                "${as_root[@]}" tee /etc/apt/sources.list.d/spettro-segnale-deb-src.list >/dev/null
            ;;
        *.sources)
            # The first stanza (paragraph) of type deb whose suites include bookworm.
            entry=$(awk 'BEGIN { RS = ""; FS = "\n" }
                /(^|\n)Types:[^\n]*deb/ && /(^|\n)Suites:([^\n]* )?bookworm( |\n|$)/ && !/(^|\n)Enabled: *no/ {
                    for (i = 1; i <= NF; i++) {
                        if ($i ~ /^Types:/) $i = "Types: deb-src"
                        else if ($i ~ /^Suites:/) $i = "Suites: bookworm"
                        else if ($i ~ /^Components:/) $i = "Components: main"
                        print $i
                    }
                    exit }' "$file")
            [ -n "$entry" ] && printf '%s\n' "$entry" |
                "${as_root[@]}" tee /etc/apt/sources.list.d/spettro-segnale-deb-src.sources >/dev/null
            ;;
        esac
        [ -n "$entry" ] && break
    done
    if [ -z "$entry" ]; then
        echo "No deb entry for bookworm found in the APT sources: cannot add deb-src" >&2
        exit 1
    fi
    echo "Added a deb-src entry for bookworm main to /etc/apt/sources.list.d/"
    "${as_root[@]}" apt-get update
}

# The .dsc that apt-get source would fetch for a source package: its line of --print-uris
# (address, name, size and hash), which names the version.
dsc_of() {
    local line
    line=$(apt-get source --only-source --print-uris "$1" 2>/dev/null | grep "\.dsc' ") || {
        echo "apt-get source finds no $1: is there a deb-src entry?" >&2
        exit 1
    }
    printf '%s\n' "$line"
}

# Fetches and unpacks a source package into work/NAME and enters its source folder. A folder
# left there by a build that failed or was stopped is used again when it holds the same .dsc:
# its CMakeCache.txt files are removed, so that every option is set anew, and the build goes
# on from the objects already there (the build tools rebuild what the new options change).
fetch() {
    local name=$1 dsc
    dsc=$(dsc_of "$name" | cut -d ' ' -f 2)
    if [ -f "$work/$name/unpacked" ] && [ -f "$work/$name/$dsc" ]; then
        cd "$work/$name"
        find . -name CMakeCache.txt -delete
    else
        rm -rf "${work:?}/$name"
        mkdir -p "$work/$name"
        cd "$work/$name"
        apt-get source --only-source "$name" >fetch.log 2>&1 || {
            cat fetch.log >&2
            echo "apt-get source $name failed: the archive did not serve its files" >&2
            exit 1
        }
        touch unpacked
    fi
    cd "$(find . -mindepth 1 -maxdepth 1 -type d | head -n 1)"
}

# cmake -G Ninja for Windows, the library's dependencies given as prefixes. The toolchain file
# is copied into the library's folder and used from there, since the CMake files that Qt
# installs name it by its path.
cmake_windows() {
    mkdir -p "$prefix/share/spettro-segnale"
    cp "$toolchain" "$prefix/share/spettro-segnale/"
    cmake -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/share/spettro-segnale/${toolchain##*/}" \
        -DCMAKE_INSTALL_PREFIX="$prefix" "-DCMAKE_PREFIX_PATH=$(prefix_path "$library")" "$@"
}

build_and_install() {
    "${niced[@]}" cmake --build "$1" -j "$jobs"
    "${niced[@]}" cmake --install "$1"
}

# ----- The libraries: one function each, its text part of the library's key. -----

build_fftw3() {
    fetch fftw3
    mkdir -p build && cd build
    # Double precision, threads in the one library (--with-combined-threads: needed for a
    # Windows DLL, harmless for the static library), SIMD codelets chosen at run time;
    # --with-our-malloc: MinGW has neither memalign nor posix_memalign, and FFTW's Windows
    # branch is for MSVC only.
    "${niced[@]}" ../configure --host=$triplet --prefix="$prefix" \
        CC=$triplet-gcc-posix CFLAGS="-O3 -Wa,-muse-unaligned-vector-move" \
        --enable-static --disable-shared --enable-threads --with-combined-threads \
        --enable-sse2 --enable-avx --enable-avx2 --with-our-malloc --disable-fortran --disable-doc
    "${niced[@]}" make -j"$jobs"
    "${niced[@]}" make install
}

sources_of_fftw3=fftw3
depends_of_fftw3=()

build_sleef() {
    fetch sleef
    local source=$PWD
    # The generators (mkrename, mkdisp...) run at build time: built natively first, then
    # named to the cross build by NATIVE_BUILD_DIR.
    cmake -S "$source" -B "$work/sleef/native" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_DFT=OFF -DBUILD_QUAD=OFF -DBUILD_GNUABI_LIBS=OFF -DBUILD_TESTS=OFF \
        -DBUILD_INLINE_HEADERS=OFF -DBUILD_SHARED_LIBS=OFF
    "${niced[@]}" cmake --build "$work/sleef/native" -j "$jobs"
    cmake_windows -S "$source" -B "$work/sleef/windows" -DNATIVE_BUILD_DIR="$work/sleef/native" \
        -DBUILD_DFT=OFF -DBUILD_QUAD=OFF -DBUILD_GNUABI_LIBS=OFF -DBUILD_TESTS=OFF \
        -DBUILD_INLINE_HEADERS=OFF -DBUILD_SHARED_LIBS=OFF
    build_and_install "$work/sleef/windows"
}

sources_of_sleef=sleef
depends_of_sleef=()

build_zlib() {
    fetch zlib
    # Debian's zlib source has no win32/ folder (no MinGW makefile): zlib's configure with the
    # MinGW triplet as CHOST, the static libz.a only.
    CHOST=$triplet CC=$triplet-gcc-posix AR=$triplet-ar RANLIB=$triplet-ranlib \
        CFLAGS="-O2 -Wa,-muse-unaligned-vector-move" ./configure --static --prefix="$prefix"
    "${niced[@]}" make -j"$jobs" libz.a
    "${niced[@]}" make install
}

sources_of_zlib=zlib
depends_of_zlib=()

build_libxlsxwriter() {
    fetch libxlsxwriter
    # USE_DTOA_LIBRARY: numbers written with the shortest text that reads back the same
    # double, with a '.' whatever the locale. The bundled minizip is used (USE_SYSTEM_MINIZIP
    # off), on zlib built above.
    cmake_windows -S . -B build -DUSE_DTOA_LIBRARY=ON -DUSE_SYSTEM_MINIZIP=OFF \
        -DZLIB_ROOT="$cache/zlib-${key_of[zlib]}" \
        -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_SHARED_LIBS=OFF
    build_and_install build
}

sources_of_libxlsxwriter=libxlsxwriter
depends_of_libxlsxwriter=(zlib)

build_googletest() {
    fetch googletest
    cmake_windows -S . -B build -DBUILD_GMOCK=ON -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF
    build_and_install build
}

sources_of_googletest=googletest
depends_of_googletest=()

build_qtbase() {
    fetch qt6-base
    # Shared, with Debian's own Qt 6.4.2 as the host Qt (its moc, uic, rcc...); only Core,
    # Gui, Widgets, Test and the windows and offscreen platform plugins, on the bundled zlib,
    # libpng, FreeType, HarfBuzz and PCRE2. Debian's source has no src/3rdparty/wintab, hence
    # no tablet events. Qt 6.4 compiles its DirectWrite font database into QtGui only with
    # Direct2D, but the windows plugin uses it whenever directwrite3 is on: without Direct2D,
    # directwrite3 off too, or qwindows.dll does not link (QWindowsDirectWriteFontDatabase).
    # JPEG on, from the bundled libjpeg: the input window shows a stored JPEG diagram.
    cmake_windows -S . -B build -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_jpeg=ON -DFEATURE_gif=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
        -DINPUT_opengl=no -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
        -DFEATURE_xml=OFF -DFEATURE_testlib=ON -DFEATURE_tabletevent=OFF \
        -DFEATURE_direct2d=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_directwrite3=OFF \
        -DFEATURE_vulkan=OFF \
        -DFEATURE_openssl=OFF -DFEATURE_icu=OFF -DFEATURE_sql_sqlite=OFF
    build_and_install build
}

sources_of_qtbase=qt6-base
depends_of_qtbase=()

# SLEEF is built only when named: the archive this machine reaches serves its .dsc but not its
# sources, so the Windows program is built without it (SPETTRO_VECTOR_KERNELS=OFF: the C
# library's sine and cosine in the harmonic sums).
libraries=(fftw3 zlib libxlsxwriter googletest qtbase)
all_libraries=(fftw3 sleef zlib libxlsxwriter googletest qtbase)

# ----- The cache -----

declare -A key_of=()

# The folders of a library's dependencies (all of them when none is named), joined by ';'.
prefix_path() {
    local libraries_wanted=("${libraries[@]}") dependency path=""
    if [ $# -gt 0 ]; then
        local depends="depends_of_$1[@]"
        libraries_wanted=("${!depends}")
    fi
    for dependency in "${libraries_wanted[@]}"; do
        [ -n "${key_of[$dependency]:-}" ] && path+="${path:+;}$cache/$dependency-${key_of[$dependency]}"
    done
    printf '%s\n' "$path"
}

common_text() {
    cat "$toolchain"
    $triplet-g++-posix --version | head -n 1
    # Not fetch: where the source is unpacked changes nothing built (its .dsc is in the key).
    declare -f cmake_windows build_and_install prefix_path
    declare -p jobs triplet
}

key_for() {
    local library=$1 sources="sources_of_$1" depends="depends_of_$1[@]" dependency
    {
        dsc_of "${!sources}"
        common_text
        declare -f "build_$library"
        for dependency in "${!depends}"; do
            echo "$dependency ${key_of[$dependency]}"
        done
    } | sha256sum | cut -c 1-16
}

ensure_deb_src
# The project's one list of packages, the cross build's among them.
"$here/../install-dependencies.sh"
mkdir -p "$cache"

wanted=("$@")
[ ${#wanted[@]} -eq 0 ] && wanted=("${libraries[@]}")
failed=()
for library in "${all_libraries[@]}"; do
    # One left out of the default list is looked at only when named.
    [[ " ${libraries[*]} ${wanted[*]} " == *" $library "* ]] || continue
    depends="depends_of_$library[@]"
    missing_dependency=""
    for dependency in "${!depends}"; do
        [ -n "${key_of[$dependency]:-}" ] || missing_dependency=$dependency
    done
    if [ -n "$missing_dependency" ]; then
        [[ " ${wanted[*]} " == *" $library "* ]] &&
            echo "$library: not built, $missing_dependency is not in the cache" >&2 && failed+=("$library")
        continue
    fi
    if ! key=$(key_for "$library"); then
        failed+=("$library")
        continue
    fi
    prefix=$cache/$library-$key
    if [ -f "$prefix/.complete" ]; then
        key_of[$library]=$key
        echo "$library: up to date in $prefix"
        continue
    fi
    if [[ " ${wanted[*]} " != *" $library "* ]]; then
        echo "$library: not asked for, not built (its folder would be $prefix)"
        continue
    fi
    echo "$library: building into $prefix (log: $work/$library.log)"
    rm -rf "$prefix"
    mkdir -p "$work"
    started=$SECONDS
    # In the background and waited for: a function called in an if or || condition would run
    # with set -e ignored, going on after a failed step.
    ("build_$library") >"$work/$library.log" 2>&1 &
    if ! wait $!; then
        tail -n 30 "$work/$library.log" >&2
        echo "$library: build failed; the whole log is $work/$library.log" >&2
        failed+=("$library")
        continue
    fi
    touch "$prefix/.complete"
    key_of[$library]=$key
    echo "$library: built in $((SECONDS - started)) s"
    # Folders of other versions of the library and its sources are no longer needed.
    find "$cache" -mindepth 1 -maxdepth 1 -name "$library-*" ! -path "$prefix" -exec rm -rf {} +
    sources="sources_of_$library"
    rm -rf "${work:?}/${!sources}"
done

prefix_path | tr ';' '\n' >"$cache/prefixes"
echo "Cache: $cache"
echo "Libraries (for CMAKE_PREFIX_PATH, also in $cache/prefixes):"
sed 's/^/  /' "$cache/prefixes"
if [ ${#failed[@]} -gt 0 ]; then
    echo "Not built: ${failed[*]}" >&2
    exit 1
fi
