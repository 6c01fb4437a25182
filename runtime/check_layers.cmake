# Run as a build step (cmake -P) on every source of a target above the
# run-time: fails at an include the target's floor may not see.
#   -DFILES=<file;file;...>  -DRULE=APPLICATION|PROTOCOL|DECODER|CONSOLE
#
# APPLICATION (app/, link/'s panel side, preview/, panel/): no Qt header and
# no header of a run-time room other than core; and link/ never includes the
# link view's decoder (traffic/): the link does not know it is watched.
# PROTOCOL (link/ without its panel side): the same, and no panel operation:
# none of core's panel headers (runtime.h, panel_ops.h, control_table.h,
# log_view_ops.h, busy_progress.h) nor link's panel side (port.h,
# download.h, monitor.h). The protocol stands on the console side of the
# run-time, which nuvaroctl links.
# DECODER (traffic/): no Qt, the run-time through runtime/core only, and of
# the application only link's words (vocabulary.h, frame_codec.h,
# line_account.h).
# CONSOLE (cli/, nuvaroctl): no Qt, the run-time through runtime/core only and
# no panel operation there; of the application app/state, link/'s protocol
# and the decoder (traffic/), nothing above them.
set(panel_headers "\"runtime/core/(runtime|panel_ops|control_table|log_view_ops|busy_progress)\\.h\"")
set(link_panel_side "\"link/(port|download|monitor)\\.h\"")
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "<Q" OR line MATCHES "\"runtime/(serial|panel|controls|console)/")
      message(FATAL_ERROR "${file}: code above the run-time may include only runtime/core "
                          "of the run-time, and no Qt: ${line}")
    endif()
    if((RULE STREQUAL "APPLICATION" OR RULE STREQUAL "PROTOCOL") AND file MATCHES "/link/[^/]*$"
       AND line MATCHES "\"traffic/")
      message(FATAL_ERROR "${file}: the link does not know the link view's decoder: ${line}")
    endif()
    if((RULE STREQUAL "PROTOCOL" OR RULE STREQUAL "CONSOLE")
       AND (line MATCHES "${panel_headers}" OR line MATCHES "${link_panel_side}"))
      message(FATAL_ERROR "${file}: code without a window calls no panel operation (it links "
                          "the run-time's console side only): ${line}")
    endif()
    if(RULE STREQUAL "DECODER" AND line MATCHES "\"(app|panel|preview|sim|bench|tests|cli)/|\"link/"
       AND NOT line MATCHES "\"link/(vocabulary|frame_codec|line_account)\\.h\"")
      message(FATAL_ERROR "${file}: the decoder sees of the application only link's words "
                          "(link/vocabulary.h, link/frame_codec.h, link/line_account.h): ${line}")
    endif()
    if(RULE STREQUAL "CONSOLE" AND line MATCHES "\"(app|panel|preview|sim|bench|tests)/"
       AND NOT line MATCHES "\"app/state/")
      message(FATAL_ERROR "${file}: nuvaroctl sees of the application app/state, link/ and "
                          "traffic/ only: ${line}")
    endif()
  endforeach()
endforeach()
