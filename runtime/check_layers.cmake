# Run as a build step (cmake -P) on every source of a target above the
# run-time: fails at an include the target's floor may not see.
#   -DFILES=<file;file;...>  -DRULE=APPLICATION|DECODER
#
# APPLICATION (app/, link/, preview/, panel/): no Qt header and no header of a
# run-time room other than core; and link/ never includes the link view's
# decoder (traffic/): the link does not know it is watched.
# DECODER (traffic/): no Qt, the run-time through runtime/core only, and of
# the application only link's words (vocabulary.h, frame_codec.h).
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "<Q" OR line MATCHES "\"runtime/(serial|panel|controls)/")
      message(FATAL_ERROR "${file}: code above the run-time may include only runtime/core "
                          "of the run-time, and no Qt: ${line}")
    endif()
    if(RULE STREQUAL "APPLICATION" AND file MATCHES "/link/[^/]*$" AND line MATCHES "\"traffic/")
      message(FATAL_ERROR "${file}: the link does not know the link view's decoder: ${line}")
    endif()
    if(RULE STREQUAL "DECODER" AND line MATCHES "\"(app|panel|preview|sim|bench|tests)/|\"link/"
       AND NOT line MATCHES "\"link/(vocabulary|frame_codec)\\.h\"")
      message(FATAL_ERROR "${file}: the decoder sees of the application only link's words "
                          "(link/vocabulary.h, link/frame_codec.h): ${line}")
    endif()
  endforeach()
endforeach()
