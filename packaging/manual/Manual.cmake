# The operator's manual in HTML, made by the build and installed on both
# systems: docs/usage.md (the manual's first page, index.html) and
# docs/protocol.md, which it links to, converted with cmark-gfm, the images
# they show, and nuvaroctl.1 converted with mandoc (make_manual.cmake).
#
#   Linux:   <prefix>/share/doc/nuvaro/manual/index.html
#   Windows: <install folder>\manual\index.html (Start menu: nuvaro → 使用说明)
#
# nuvaroctl --help names the place, and the ctest ManualLinks checks that
# every link of the installed manual leads somewhere (check_links.cmake).
find_program(NUVARO_CMARK_GFM cmark-gfm REQUIRED)
find_program(NUVARO_MANDOC mandoc REQUIRED)
set(NUVARO_MANUAL_DIR ${CMAKE_BINARY_DIR}/manual)
set(manual_pages ${NUVARO_MANUAL_DIR}/index.html ${NUVARO_MANUAL_DIR}/protocol.html
                 ${NUVARO_MANUAL_DIR}/nuvaroctl.html)
add_custom_command(
  OUTPUT ${manual_pages}
  COMMAND ${CMAKE_COMMAND} -DCMARK=${NUVARO_CMARK_GFM} -DMANDOC=${NUVARO_MANDOC}
          -DDOCS=${PROJECT_SOURCE_DIR}/docs -DMAN_PAGE=${doc_out}/nuvaroctl.1
          -DOUT=${NUVARO_MANUAL_DIR} -P ${CMAKE_CURRENT_LIST_DIR}/make_manual.cmake
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_manual.cmake ${PROJECT_SOURCE_DIR}/docs/usage.md
          ${PROJECT_SOURCE_DIR}/docs/protocol.md ${doc_out}/nuvaroctl.1
  COMMENT "Writing the manual in HTML"
  VERBATIM)
add_custom_target(nuvaro_manual ALL DEPENDS ${manual_pages})
if(WIN32)
  set(NUVARO_INSTALL_MANUALDIR manual)
else()
  set(NUVARO_INSTALL_MANUALDIR ${CMAKE_INSTALL_DOCDIR}/manual)
endif()
# The whole folder: the pages and the images they show.
install(DIRECTORY ${NUVARO_MANUAL_DIR}/ DESTINATION ${NUVARO_INSTALL_MANUALDIR})

# Every link of the manual as installed leads somewhere (Linux; the Windows
# checks under Wine look at the zip's and the installer's).
if(NUVARO_BUILD_TESTS AND NOT WIN32)
  add_test(NAME ManualLinks
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_BINARY_DIR}/manual-links
            -DMANUALDIR=${NUVARO_INSTALL_MANUALDIR} -P ${CMAKE_CURRENT_LIST_DIR}/check_installed_manual.cmake)
  set_tests_properties(ManualLinks PROPERTIES LABELS unit)
endif()
