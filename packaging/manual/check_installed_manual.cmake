# Installs the build BUILD into a fresh folder PREFIX, as a package would,
# and checks every link of the manual installed there (check_links.cmake).
#
#   cmake -DBUILD=<build folder> -DPREFIX=<folder> -DMANUALDIR=<its place under PREFIX>
#         -P check_installed_manual.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD} failed")
endif()
set(MANUAL ${PREFIX}/${MANUALDIR})
include(${CMAKE_CURRENT_LIST_DIR}/check_links.cmake)
# The installed nuvaroctl names the installed manual in its --help.
execute_process(COMMAND ${PREFIX}/bin/nuvaroctl --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
string(FIND "${help}" "\n  ${MANUAL}/index.html\n" named)
if(NOT status EQUAL 0 OR named LESS 0)
  message(FATAL_ERROR "nuvaroctl --help does not name ${MANUAL}/index.html:\n${help}")
endif()
file(REMOVE_RECURSE ${PREFIX})
