# Run as a build step (cmake -P) on every source of an application target:
# fails when one includes a Qt header or a header of a run-time room other
# than core. Application code sees the run-time through runtime/core only.
#   -DFILES=<file;file;...>
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "<Q" OR line MATCHES "\"runtime/(serial|panel|controls)/")
      message(FATAL_ERROR "${file}: application code may include only runtime/core "
                          "of the run-time, and no Qt: ${line}")
    endif()
  endforeach()
endforeach()
