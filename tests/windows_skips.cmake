# Read by ctest after the discovery of nuvaro_tests in a Windows build: the
# tests named in windows_skips.txt that are compiled there are disabled
# (ctest lists them as "Not Run (Disabled)"); the file says why.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/windows_skips.txt lines REGEX "^[A-Za-z]")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "[ \t].*$" "" pattern "${line}")
  string(REPLACE "." "\\." regex "${pattern}")
  string(REPLACE "*" ".*" regex "${regex}")
  foreach(test IN LISTS nuvaro_tests_TESTS)
    if(test MATCHES "^${regex}$")
      set_tests_properties("${test}" PROPERTIES DISABLED ON)
    endif()
  endforeach()
endforeach()
