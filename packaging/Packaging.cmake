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
install(TARGETS spettro-segnale RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

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
# The libraries come from dpkg-shlibdeps; the dialog font is mapped to Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
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

add_test(NAME debian_package
    COMMAND ${SPETTRO_PACKAGING_DIR}/check-package.sh ${PROJECT_BINARY_DIR} ${PROJECT_VERSION})
set_tests_properties(debian_package PROPERTIES
    LABELS packaging
    REQUIRED_FILES $<TARGET_FILE:spettro-segnale>
    TIMEOUT 600)
