# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installation, the Debian package and the checks of both.
# Included from the root CMakeLists.txt after the program's target exists.

include(GNUInstallDirs)

set(SPETTRO_APP_ID it.spettrosegnale.SpettroSegnale)
set(SPETTRO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(SPETTRO_ICON_DIR ${PROJECT_SOURCE_DIR}/ui/input_window/resources)

# --- What is installed ------------------------------------------------------------------------

# The program links only the system's shared libraries: the installed copy searches no
# library path of its own (Qt's project set-up would give it $ORIGIN and $ORIGIN/../lib).
set_target_properties(spettro-segnale PROPERTIES INSTALL_RPATH "")
# As Debian builds its programs: every symbol bound at start and the relocations then made
# read-only; no compilers' identification left in the binary (dh_strip drops it too).
target_link_options(spettro-segnale PRIVATE LINKER:-z,relro LINKER:-z,now)
install(TARGETS spettro-segnale RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(CMAKE_OBJCOPY)
    install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/spettro-segnale\"
        COMMAND_ERROR_IS_FATAL ANY)")
endif()

install(FILES ${SPETTRO_PACKAGING_DIR}/${SPETTRO_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SPETTRO_PACKAGING_DIR}/${SPETTRO_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size IN ITEMS 16 32 48 64 128 256)
    install(FILES ${SPETTRO_ICON_DIR}/icon-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${SPETTRO_APP_ID}.png)
endforeach()
install(FILES ${SPETTRO_ICON_DIR}/icon.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${SPETTRO_APP_ID}.svg)

# The manual page and the changelog go compressed as Debian wants them: gzip -9, with no name
# or time stamp inside, so that the same sources make the same package.
find_program(SPETTRO_GZIP gzip REQUIRED)
set(SPETTRO_DOC_BUILD_DIR ${PROJECT_BINARY_DIR}/packaging)
set(SPETTRO_COMPRESSED_DOCS)
foreach(doc IN ITEMS spettro-segnale.1 changelog)
    add_custom_command(OUTPUT ${SPETTRO_DOC_BUILD_DIR}/${doc}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${SPETTRO_DOC_BUILD_DIR}
        COMMAND ${CMAKE_COMMAND} -E copy ${SPETTRO_PACKAGING_DIR}/${doc}
                ${SPETTRO_DOC_BUILD_DIR}/${doc}
        COMMAND ${SPETTRO_GZIP} -9nf ${SPETTRO_DOC_BUILD_DIR}/${doc}
        DEPENDS ${SPETTRO_PACKAGING_DIR}/${doc}
        COMMENT "Compressing ${doc}"
        VERBATIM)
    list(APPEND SPETTRO_COMPRESSED_DOCS ${SPETTRO_DOC_BUILD_DIR}/${doc}.gz)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${SPETTRO_COMPRESSED_DOCS})

install(FILES ${SPETTRO_DOC_BUILD_DIR}/spettro-segnale.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A native package's changelog is changelog.gz; the copyright file is machine-readable.
install(FILES ${SPETTRO_DOC_BUILD_DIR}/changelog.gz ${SPETTRO_PACKAGING_DIR}/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/spettro-segnale)

# --- The Debian package -----------------------------------------------------------------------

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "spettro-segnale")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Spettro Segnale")
set(CPACK_PACKAGE_CONTACT "Spettro Segnale <info@spettrosegnale.it>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://spettrosegnale.it")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "spettro di un segnale impulsivo a semionda sinusoidale")
# One paragraph, wrapped for the package managers that show it as it is.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Spettro Segnale mostra come un treno periodico e unipolare di impulsi a"
    "semionda sinusoidale sia fatto di armoniche. Si inseriscono sette parametri"
    "(duty cycle, ampiezza, frequenza, campioni per periodo, armoniche, periodi e"
    "il numero z di un'armonica); il programma calcola la componente continua e"
    "il modulo dell'armonica z, disegna il segnale e il suo spettro a righe, e"
    "legge i valori sotto il puntatore del mouse.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Spettro Segnale <info@spettrosegnale.it>")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://spettrosegnale.it")
# The libraries come from dpkg-shlibdeps. What no library names: the classic dialog font,
# mapped to Liberation Sans; Qt's platform plugins, which Qt's own package only recommends; and
# Qt's Italian translations, which the program loads at start.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-qpa-plugins, qt6-translations-l10n")
# Qt's Wayland platform is suggested, not recommended: without it the program runs on GNOME's
# Wayland through XWayland on Qt's X11 platform, the one the program is tested on most, with
# GNOME's own title bar. Qt 6.4's Wayland client draws a plainer title bar of its own and once
# crashed in the tests as a window went (a frame callback delivered to it on Qt's Wayland
# thread); the window tests check it all the same (label wayland), for those who install it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# A source archive never takes the build trees or the repository's own metadata.
set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/\\\\.cache/")

include(CPack)

# --- Checks -----------------------------------------------------------------------------------

# A missing tool makes its check fail with the Debian package to install, never skip it.
function(spettro_packaging_tool variable program debian_package)
    find_program(${variable} ${program})
    if(${variable})
        set(${variable}_COMMAND ${${variable}} PARENT_SCOPE)
    else()
        set(${variable}_COMMAND sh -c
            "echo '${program} not found: install the Debian package ${debian_package}' >&2; exit 1"
            PARENT_SCOPE)
    endif()
endfunction()

spettro_packaging_tool(SPETTRO_DESKTOP_FILE_VALIDATE desktop-file-validate desktop-file-utils)
spettro_packaging_tool(SPETTRO_APPSTREAMCLI appstreamcli appstream)
spettro_packaging_tool(SPETTRO_REUSE reuse reuse)

# Every file of the source tree names its copyright and licence, in itself or in .reuse/dep5.
add_test(NAME reuse_lint COMMAND ${SPETTRO_REUSE_COMMAND} --root ${PROJECT_SOURCE_DIR} lint)
set_tests_properties(reuse_lint PROPERTIES LABELS packaging)

add_test(NAME desktop_file_validate
    COMMAND ${SPETTRO_DESKTOP_FILE_VALIDATE_COMMAND}
            ${SPETTRO_PACKAGING_DIR}/${SPETTRO_APP_ID}.desktop)
# desktop-file-validate exits 0 on warnings; only its hints are accepted.
set_tests_properties(desktop_file_validate PROPERTIES
    LABELS packaging
    FAIL_REGULAR_EXPRESSION "error:;warning:")

# --strict fails on anything above a pedantic note.
add_test(NAME appstream_validate
    COMMAND ${SPETTRO_APPSTREAMCLI_COMMAND} validate --no-net --strict
            ${SPETTRO_PACKAGING_DIR}/${SPETTRO_APP_ID}.metainfo.xml)
set_tests_properties(appstream_validate PROPERTIES LABELS packaging)

# The package on a minimal Debian 12 made for the test (mmdebstrap, from the Debian mirror):
# installed without recommended packages, its program must open its window. Two to three minutes.
add_test(NAME clean_install
    COMMAND ${PROJECT_SOURCE_DIR}/tools/check-clean-install.sh ${PROJECT_BINARY_DIR})
set_tests_properties(clean_install PROPERTIES
    LABELS packaging
    REQUIRED_FILES $<TARGET_FILE:spettro-segnale>
    TIMEOUT 900)

add_test(NAME debian_package
    COMMAND ${SPETTRO_PACKAGING_DIR}/check-package.sh ${PROJECT_BINARY_DIR} ${PROJECT_VERSION})
set_tests_properties(debian_package PROPERTIES
    LABELS packaging
    REQUIRED_FILES $<TARGET_FILE:spettro-segnale>
    TIMEOUT 600)
