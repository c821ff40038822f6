# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# CMake toolchain file: cross-compiling on Debian for Windows x86-64 with Debian's MinGW-w64,
# POSIX-threads variant (the -posix compilers: std::thread and std::mutex work with them).
# Libraries and packages are looked for only in CMAKE_FIND_ROOT_PATH (the MinGW sysroot and the
# prefixes of tools/windows/build-dependencies.sh), programs only on the build machine.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)
set(CMAKE_AR ${mingw_triplet}-gcc-ar-posix CACHE FILEPATH "archiver")
set(CMAKE_RANLIB ${mingw_triplet}-gcc-ranlib-posix CACHE FILEPATH "ranlib")

# GCC cannot align the stack beyond 16 bytes on Win64 (GCC bug 54412), so a spilled AVX value
# can be stored with an aligned move to an address that is only 16-byte aligned, and the
# program crashes in AVX code. The assembler option turns every aligned vector move into an
# unaligned one, which is as fast on aligned data.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")

# The prefixes given in CMAKE_PREFIX_PATH are roots too (a path already under a root is not
# moved under the others).
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

