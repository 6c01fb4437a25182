# Desktop integration files, documentation and the Debian package (CPack).
# Included last from the top-level CMakeLists.txt, after every target has its
# install rules.
#
#   cmake --install build --prefix /some/where   # files only
#   cd build && cpack -G DEB                     # nuvaro_<version>-1_<arch>.deb
#
# The package is meant to pass lintian without errors or warnings:
# scripts/package-test.sh checks it.

set(NUVARO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

# The one place that names who maintains the package.
set(NUVARO_PACKAGE_MAINTAINER "nuvaro developers <nuvaro-dev@example.org>"
    CACHE STRING "Maintainer field of the Debian package: the project's team")
string(REGEX REPLACE " *<.*$" "" NUVARO_PACKAGE_TEAM "${NUVARO_PACKAGE_MAINTAINER}")
# The years of the copyright (packaging/copyright, the Windows programs'
# version resources and the installer's).
set(NUVARO_COPYRIGHT_YEARS 2026)
set(NUVARO_DEB_RELEASE 1)
set(NUVARO_DEB_VERSION ${PROJECT_VERSION}-${NUVARO_DEB_RELEASE})
# The release date as the Debian changelog writes it ("Mon, 07 Dec 2026
# 12:00:00 +0000"), the day of the week reckoned from the date.
if(NOT NUVARO_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
  message(FATAL_ERROR "NUVARO_RELEASE_DATE must be YYYY-MM-DD: ${NUVARO_RELEASE_DATE}")
endif()
math(EXPR year "${CMAKE_MATCH_1}")
math(EXPR month_index "${CMAKE_MATCH_2} - 1") # January: 0
set(day ${CMAKE_MATCH_3})
# Sakamoto's reckoning: January and February count with the year before.
set(month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
list(GET month_offsets ${month_index} month_offset)
set(y ${year})
if(month_index LESS 2)
  math(EXPR y "${year} - 1")
endif()
math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${month_offset} + ${day}) % 7")
set(weekday_names Sun Mon Tue Wed Thu Fri Sat)
set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET weekday_names ${weekday} weekday_name)
list(GET month_names ${month_index} month_name)
set(NUVARO_DEB_DATE "${weekday_name}, ${day} ${month_name} ${year} 12:00:00 +0000")

# The AppStream id, also the desktop entry's name.
set(NUVARO_APP_ID org.example.nuvaro)

# The executables, the panel file (share/nuvaro) and the device simulator
# install from app, cli and sim; the rest installs here.
set(doc_out ${CMAKE_BINARY_DIR}/packaging)
# nuvaroctl.1 is written by the build, from its template, the parameter table
# and the download examples (cli/man_page): the Linux package's man page, and
# the manual's page on nuvaroctl on both systems.
add_custom_command(
  OUTPUT ${doc_out}/nuvaroctl.1
  COMMAND ${NUVARO_MAN_PAGE_WRITER} ${NUVARO_PACKAGING_DIR}/man/nuvaroctl.1.in
          ${PROJECT_SOURCE_DIR}/cli/download-examples.txt ${doc_out}/nuvaroctl.1
  DEPENDS ${NUVARO_MAN_PAGE_WRITER_TARGET} ${NUVARO_PACKAGING_DIR}/man/nuvaroctl.1.in
          ${PROJECT_SOURCE_DIR}/cli/download-examples.txt
  COMMENT "Writing nuvaroctl.1"
  VERBATIM)
# The manual, in HTML: docs/usage.md and docs/protocol.md with their images,
# and nuvaroctl.1 (packaging/manual/).
include(${NUVARO_PACKAGING_DIR}/manual/Manual.cmake)

if(UNIX AND NOT APPLE)
  install(FILES ${NUVARO_PACKAGING_DIR}/${NUVARO_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${NUVARO_PACKAGING_DIR}/${NUVARO_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${NUVARO_PACKAGING_DIR}/nuvaro.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

  # Man pages and changelogs are installed compressed, without a name or a
  # time stamp in the gzip header (gzip -9n), as Debian asks. They are made
  # when cmake configures (again after an edit), so that installing and cpack
  # work whatever targets were built.
  configure_file(${NUVARO_PACKAGING_DIR}/copyright ${doc_out}/copyright @ONLY)
  configure_file(${NUVARO_PACKAGING_DIR}/changelog.Debian.in ${doc_out}/src/changelog.Debian @ONLY)
  foreach(source IN ITEMS ${NUVARO_PACKAGING_DIR}/man/nuvaro.1 ${NUVARO_PACKAGING_DIR}/man/nuvaro-devsim.1
                          ${NUVARO_PACKAGING_DIR}/changelog ${doc_out}/src/changelog.Debian)
    get_filename_component(name ${source} NAME)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${doc_out}/${name}.gz
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "gzip could not compress ${source}")
    endif()
  endforeach()
  add_custom_command(
    OUTPUT ${doc_out}/nuvaroctl.1.gz
    COMMAND gzip -9nkf ${doc_out}/nuvaroctl.1
    DEPENDS ${doc_out}/nuvaroctl.1
    VERBATIM)
  add_custom_target(nuvaroctl_man ALL DEPENDS ${doc_out}/nuvaroctl.1.gz)
  install(FILES ${doc_out}/nuvaro.1.gz ${doc_out}/nuvaro-devsim.1.gz ${doc_out}/nuvaroctl.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # Where Debian's bash-completion loads a command's completion on first use.
  install(FILES ${NUVARO_PACKAGING_DIR}/bash-completion/nuvaroctl
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  install(FILES ${doc_out}/copyright ${doc_out}/changelog.gz ${doc_out}/changelog.Debian.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # Tags that do not apply to a package built for the operators' machines,
  # each with its reason, so that plain lintian on the .deb reports them as
  # overridden instead of as warnings.
  install(FILES ${NUVARO_PACKAGING_DIR}/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME nuvaro)
endif()

set(CPACK_PACKAGE_NAME nuvaro)
set(CPACK_PACKAGE_VENDOR "${NUVARO_PACKAGE_TEAM}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${NUVARO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY nuvaro)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/" "\\\\.swp$" "/\\\\.cache/")

# The Windows installer and zip (packaging/windows/).
if(WIN32)
  include(${NUVARO_PACKAGING_DIR}/windows/Windows.cmake)
  include(CPack)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_NAME nuvaro)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${NUVARO_DEB_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # nuvaro_<version>-<release>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NUVARO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# md5sums and the other control files with the permissions dpkg expects.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The first line (the summary) is prepended by CPack.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A single-window desktop panel for a signal-generator device on an RS-232
serial port. The operator sets the work mode (fixed rate or rate sweep), the
rate, the angle, the pulse width and the signal mode, previews one revolution
of the signal, downloads the parameters to the device as acknowledged framed
commands, checks the link and watches the rate the device reports.
.
The package also holds nuvaroctl, which does the same from a script (downloads,
the link check and the rate, with the panel's protocol, limits and words), and
nuvaro-devsim, which simulates the device on a pseudo-terminal so that both
can be tried without hardware.")

# dpkg-shlibdeps (package dpkg-dev) finds the Qt and C++ libraries the three
# programs link against. Qt loads its plugins at run time, which no linker
# dependency shows: the platform plugins, the SVG plugins that draw the window
# icon; and the program needs Qt's Chinese translations and a font with
# Chinese glyphs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, qt6-translations-l10n, fonts-noto-cjk")

include(CPack)
