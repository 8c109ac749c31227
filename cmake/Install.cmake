# Installation into a standard prefix. The program finds everything beside its own executable, so the
# program folder stays together under lib/reelpocket/ and bin/ only holds a link to it.

include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/Desktop.cmake)

set(REELPOCKET_INSTALL_PROGRAMDIR "lib/reelpocket" CACHE STRING
    "The program folder, relative to the install prefix")
set(REELPOCKET_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/reelpocket")

install(TARGETS reelpocket reelpocket_encoder RUNTIME DESTINATION "${REELPOCKET_INSTALL_PROGRAMDIR}")
# The bridge loads its probe module, the program its network module, from the program folder.
install(TARGETS reelpocket_probe reelpocket_network LIBRARY DESTINATION "${REELPOCKET_INSTALL_PROGRAMDIR}/modules")
install(FILES resources/Languages resources/VSFilter.dll DESTINATION "${REELPOCKET_INSTALL_PROGRAMDIR}")
# Local help pages go beside the program when the resources carry them. Watching the folder makes
# CMake look again when such a folder appears.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/resources")
if(IS_DIRECTORY "${CMAKE_SOURCE_DIR}/resources/help")
    install(DIRECTORY resources/help DESTINATION "${REELPOCKET_INSTALL_PROGRAMDIR}")
endif()

# A relative link keeps working wherever the prefix is unpacked (DESTDIR, a package, /opt).
file(RELATIVE_PATH REELPOCKET_BIN_LINK_TARGET "/prefix/${CMAKE_INSTALL_BINDIR}"
     "/prefix/${REELPOCKET_INSTALL_PROGRAMDIR}/reelpocket")
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/install-links")
file(CREATE_LINK "${REELPOCKET_BIN_LINK_TARGET}" "${CMAKE_BINARY_DIR}/install-links/reelpocket" SYMBOLIC)
install(PROGRAMS "${CMAKE_BINARY_DIR}/install-links/reelpocket" DESTINATION "${CMAKE_INSTALL_BINDIR}")

install(FILES "${REELPOCKET_DESKTOP_FILE}" DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/applications")
install(FILES "${REELPOCKET_METAINFO_FILE}" DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/metainfo")
install(FILES "${REELPOCKET_ICON_SVG}" DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps"
        RENAME "${REELPOCKET_APP_ID}.svg")
foreach(size ${REELPOCKET_ICON_SIZES})
    install(FILES "${REELPOCKET_PACKAGING_DIR}/icons/${size}x${size}/reelpocket.png"
            DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps"
            RENAME "${REELPOCKET_APP_ID}.png")
endforeach()

# Debian wants its changelog and the manual page compressed, without a time stamp inside.
find_program(GZIP gzip REQUIRED)
configure_file(packaging/changelog.in "${REELPOCKET_PACKAGING_DIR}/changelog" @ONLY)
configure_file(packaging/reelpocket.1.in "${REELPOCKET_PACKAGING_DIR}/reelpocket.1" @ONLY)
set(REELPOCKET_COMPRESSED_DOCS "")
foreach(doc changelog reelpocket.1)
    add_custom_command(OUTPUT "${REELPOCKET_PACKAGING_DIR}/${doc}.gz"
        COMMAND "${GZIP}" -9nkf "${REELPOCKET_PACKAGING_DIR}/${doc}"
        DEPENDS "${REELPOCKET_PACKAGING_DIR}/${doc}"
        VERBATIM)
    list(APPEND REELPOCKET_COMPRESSED_DOCS "${REELPOCKET_PACKAGING_DIR}/${doc}.gz")
endforeach()
add_custom_target(reelpocket_docs ALL DEPENDS ${REELPOCKET_COMPRESSED_DOCS})

install(FILES LICENSE README.md "${REELPOCKET_PACKAGING_DIR}/copyright" "${REELPOCKET_PACKAGING_DIR}/changelog.gz"
        DESTINATION "${REELPOCKET_INSTALL_DOCDIR}")
install(FILES "${REELPOCKET_PACKAGING_DIR}/reelpocket.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
