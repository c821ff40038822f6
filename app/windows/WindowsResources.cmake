# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The Windows executable's resources: its icon, made from the program's PNG icons, and its
# version record (spettro-segnale.rc.in). Included where a Windows executable is built: the
# program (app/CMakeLists.txt) and the stand-in of tools/windows/stand-in/.
#
#   spettro_add_windows_resources(TARGET VERSION)
#
# VERSION is the program's version as the project states it ("1.00"): the text of FileVersion
# and ProductVersion, and, read as numbers and padded with zeros, their four-number form.

enable_language(RC)

set(SPETTRO_WINDOWS_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR})
set(SPETTRO_WINDOWS_ICON_DIR ${CMAKE_CURRENT_LIST_DIR}/../../ui/input_window/resources)

# icotool (Debian's icoutils) writes the .ico.
find_program(SPETTRO_ICOTOOL icotool)
if(NOT SPETTRO_ICOTOOL)
    message(FATAL_ERROR "icotool not found: install Debian's icoutils")
endif()

function(spettro_add_windows_resources target version)
    if(NOT version MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
        message(FATAL_ERROR "The version '${version}' is not one to four numbers")
    endif()
    string(REPLACE "." ";" numbers "${version}")
    list(LENGTH numbers count)
    while(count LESS 4)
        list(APPEND numbers 0)
        math(EXPR count "${count} + 1")
    endwhile()
    set(version_numbers)
    foreach(number IN LISTS numbers)
        # "00" is 0; each number must fit a 16-bit word.
        math(EXPR number "${number}")
        if(number GREATER 65535)
            message(FATAL_ERROR "The version '${version}' has a number above 65535")
        endif()
        list(APPEND version_numbers ${number})
    endforeach()

    set(out ${CMAKE_CURRENT_BINARY_DIR}/windows-resources)
    set(SPETTRO_ICON_FILE ${out}/spettro-segnale.ico)
    set(SPETTRO_MANIFEST_FILE ${SPETTRO_WINDOWS_RESOURCES_DIR}/spettro-segnale.manifest)
    set(SPETTRO_VERSION ${version})
    list(JOIN version_numbers "," SPETTRO_VERSION_NUMBERS)
    configure_file(${SPETTRO_WINDOWS_RESOURCES_DIR}/spettro-segnale.rc.in
        ${out}/spettro-segnale.rc @ONLY)

    # The small sizes as bitmaps with alpha, as every version of Windows reads them; 128 and 256
    # as the PNGs themselves (Windows Vista and later), which keeps the file small.
    set(bitmaps)
    foreach(size IN ITEMS 16 32 48 64)
        list(APPEND bitmaps ${SPETTRO_WINDOWS_ICON_DIR}/icon-${size}.png)
    endforeach()
    set(pngs ${SPETTRO_WINDOWS_ICON_DIR}/icon-128.png ${SPETTRO_WINDOWS_ICON_DIR}/icon-256.png)
    add_custom_command(OUTPUT ${SPETTRO_ICON_FILE}
        COMMAND ${SPETTRO_ICOTOOL} --create --output=${SPETTRO_ICON_FILE} ${bitmaps}
                --raw=${SPETTRO_WINDOWS_ICON_DIR}/icon-128.png
                --raw=${SPETTRO_WINDOWS_ICON_DIR}/icon-256.png
        DEPENDS ${bitmaps} ${pngs}
        COMMENT "Making the Windows icon from the PNG icons"
        VERBATIM)

    target_sources(${target} PRIVATE ${out}/spettro-segnale.rc ${SPETTRO_ICON_FILE})
    # windres reads the icon the script names; CMake does not see that by itself.
    set_source_files_properties(${out}/spettro-segnale.rc PROPERTIES
        OBJECT_DEPENDS "${SPETTRO_ICON_FILE};${SPETTRO_MANIFEST_FILE}")
    # A window program: no console opens beside it.
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
endfunction()
