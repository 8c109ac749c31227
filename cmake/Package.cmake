# `cpack -G DEB` in the build folder packages what `cmake --install` lays out, under /usr.

set(CPACK_PACKAGE_NAME "reelpocket")
set(CPACK_PACKAGE_VENDOR "Reelpocket developers")
set(CPACK_PACKAGE_CONTACT "${REELPOCKET_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${REELPOCKET_SITE_URL}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert a batch of videos into MP4 files for the iPhone")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${REELPOCKET_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "video")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The summary above is the first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Reelpocket lists video files, probes each one and asks every question
up front, then encodes them one after another into MP4 files that play on
an iPhone, with a progress bar and elapsed and remaining times. Subtitles
in an .srt file beside a source can be burned into the picture. The window
speaks nine languages.
.
The encoding is done by the system's ffmpeg program, run as a separate process.")

# The encoding runs in the ffmpeg program, which no library link reveals.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg")
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
    # The Qt 6 and FFmpeg libraries, read from what the binaries link.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    message(WARNING "dpkg-shlibdeps not found: the package names only Qt 6 and FFmpeg of Debian 12")
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
           ", libqt6core6, libqt6gui6, libqt6widgets6, libqt6network6"
           ", libavformat59, libavcodec59, libavutil57")
endif()

include(CPack)
