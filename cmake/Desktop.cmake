# Desktop integration: the application id, the menu entry, the AppStream file and the icon, rendered
# from one SVG for the icon theme and compiled into the app for its window.

set(REELPOCKET_APP_ID "invalid.reelpocket.Reelpocket" CACHE STRING
    "Reverse-DNS application id: names the desktop entry, the AppStream file and the icons")
# The default claims no real domain: .invalid is reserved and can never be anyone's.
if(NOT REELPOCKET_APP_ID MATCHES "^[A-Za-z_][A-Za-z0-9_-]*(\\.[A-Za-z_][A-Za-z0-9_-]*)+$")
    message(FATAL_ERROR "REELPOCKET_APP_ID must be a reverse-DNS name such as org.example.App")
endif()
set(REELPOCKET_MAINTAINER "Reelpocket developers <maintainers@reelpocket.invalid>" CACHE STRING
    "Maintainer named in the package")

set(REELPOCKET_PACKAGING_DIR "${CMAKE_BINARY_DIR}/packaging")
set(REELPOCKET_DESKTOP_FILE "${REELPOCKET_PACKAGING_DIR}/${REELPOCKET_APP_ID}.desktop")
set(REELPOCKET_METAINFO_FILE "${REELPOCKET_PACKAGING_DIR}/${REELPOCKET_APP_ID}.metainfo.xml")
set(REELPOCKET_ICON_SVG "${CMAKE_SOURCE_DIR}/packaging/icons/reelpocket.svg")
set(REELPOCKET_ICON_SIZES 16 32 48 64 128 256)

configure_file(packaging/reelpocket.desktop.in "${REELPOCKET_DESKTOP_FILE}" @ONLY)
configure_file(packaging/reelpocket.metainfo.xml.in "${REELPOCKET_METAINFO_FILE}" @ONLY)
configure_file(packaging/copyright.in "${REELPOCKET_PACKAGING_DIR}/copyright" @ONLY)

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(REELPOCKET_ICON_PNGS "")
set(REELPOCKET_ICON_QRC_PNGS "")
foreach(size ${REELPOCKET_ICON_SIZES})
    set(png "${REELPOCKET_PACKAGING_DIR}/icons/${size}x${size}/reelpocket.png")
    add_custom_command(OUTPUT "${png}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${REELPOCKET_PACKAGING_DIR}/icons/${size}x${size}"
        COMMAND "${RSVG_CONVERT}" --width=${size} --height=${size} --format=png
                -o "${png}" "${REELPOCKET_ICON_SVG}"
        DEPENDS "${REELPOCKET_ICON_SVG}"
        COMMENT "Rendering the ${size}x${size} icon"
        VERBATIM)
    list(APPEND REELPOCKET_ICON_PNGS "${png}")
    string(APPEND REELPOCKET_ICON_QRC_PNGS
        "    <file alias=\"${size}x${size}/reelpocket.png\">${png}</file>\n")
endforeach()
configure_file(packaging/icons.qrc.in "${REELPOCKET_PACKAGING_DIR}/icons.qrc" @ONLY)

# The window icon: ":/icons/reelpocket.svg" and ":/icons/<N>x<N>/reelpocket.png". The app's target
# lives in another folder, so a target of this folder produces the resource source before the app compiles.
qt_add_resources(REELPOCKET_ICON_RESOURCES "${REELPOCKET_PACKAGING_DIR}/icons.qrc")
add_custom_target(reelpocket_icons ALL DEPENDS ${REELPOCKET_ICON_PNGS} ${REELPOCKET_ICON_RESOURCES})
target_sources(reelpocket PRIVATE ${REELPOCKET_ICON_RESOURCES})
add_dependencies(reelpocket reelpocket_icons)
target_compile_definitions(reelpocket PRIVATE REELPOCKET_APP_ID="${REELPOCKET_APP_ID}")
