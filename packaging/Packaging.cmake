# Desktop integration files and the Debian package (CPack). Included last from
# the top-level CMakeLists.txt, after every target has its install rules.
#
#   cmake --install build --prefix /some/where   # files only
#   cd build && cpack -G DEB                     # nuvaro_<version>-1_<arch>.deb

set(NUVARO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

# The executable, the panel file beside it and the device simulator install
# from app and sim; the desktop entry and the icon install here.
if(UNIX AND NOT APPLE)
  install(FILES ${NUVARO_PACKAGING_DIR}/nuvaro.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${NUVARO_PACKAGING_DIR}/nuvaro.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

set(NUVARO_PACKAGE_MAINTAINER "nuvaro developers <nuvaro-dev@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME nuvaro)
set(CPACK_PACKAGE_VENDOR "nuvaro developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${NUVARO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY nuvaro)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_NAME nuvaro)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # nuvaro_<version>-<release>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NUVARO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The first line (the summary) is prepended by CPack.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A single-window desktop panel for a signal-generator device on an RS-232
serial port. The operator sets the work mode (fixed rate or rate sweep), the
rate, the angle, the pulse width and the signal mode, previews one revolution
of the signal, downloads the parameters to the device as acknowledged framed
commands, checks the link and watches the rate the device reports.
.
The package also holds nuvaro-devsim, which simulates the device on a
pseudo-terminal so that the panel can be tried without hardware.")

# dpkg-shlibdeps (package dpkg-dev) finds the Qt and C++ libraries the two
# programs link against. Qt loads the platform plugins and the program needs
# a font with Chinese glyphs at run time; no linker dependency shows those.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk")

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/" "\\\\.swp$" "/\\\\.cache/")

include(CPack)
