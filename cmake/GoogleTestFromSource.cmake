# GoogleTest and GoogleMock compiled for the target system from Debian's
# sources (package googletest, /usr/src/googletest), for a cross-build where
# no GoogleTest for the target is installed. Gives GTest::gtest and
# GTest::gmock as find_package(GTest) does. Its own code is built with its own
# warnings (the project's -Werror is for the project's code).
set(NUVARO_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (package googletest)")
if(NOT EXISTS ${NUVARO_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${NUVARO_GOOGLETEST_SOURCE}: apt-get install googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
get_directory_property(_nuvaro_saved_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${NUVARO_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_nuvaro_saved_options}")
foreach(lib gtest gmock gtest_main gmock_main)
  if(TARGET ${lib} AND NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()
