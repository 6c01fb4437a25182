# CONTRIBUTING.md's C++ examples are code, and are compiled as code so that
# none can rot: every ```cpp block there must start with a comment naming the
# file it would be ("// runtime/panel/kinds/check_box_kind.cpp"). Each is
# written to `out_dir` under that file's name (rewritten only when it
# changed) and the list of them is returned in `out_var`, to be built into
# the tests, which run them. CONTRIBUTING.md is a configure dependency: an
# edited example is extracted again by the next build.
function(nuvaro_contributing_examples markdown out_dir out_var)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${markdown})
  file(READ ${markdown} text)
  set(fence "```cpp\n")
  string(LENGTH "${fence}" fence_length)
  set(sources)
  while(TRUE)
    string(FIND "${text}" "${fence}" begin)
    if(begin EQUAL -1)
      break()
    endif()
    math(EXPR begin "${begin} + ${fence_length}")
    string(SUBSTRING "${text}" ${begin} -1 text)
    string(FIND "${text}" "\n```" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "${markdown}: a ```cpp block without its closing fence")
    endif()
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${text}" 0 ${end} code)
    string(SUBSTRING "${text}" ${end} -1 text)
    if(NOT code MATCHES "^// ([A-Za-z0-9_/.-]+\\.cpp)\n")
      message(FATAL_ERROR "${markdown}: a ```cpp block must start with a comment naming its "
                          "file, \"// folder/name.cpp\", to be compiled")
    endif()
    get_filename_component(name "${CMAKE_MATCH_1}" NAME)
    file(WRITE ${out_dir}/${name}.extracted "${code}")
    file(COPY_FILE ${out_dir}/${name}.extracted ${out_dir}/${name} ONLY_IF_DIFFERENT)
    list(APPEND sources ${out_dir}/${name})
  endwhile()
  if(NOT sources)
    message(FATAL_ERROR "${markdown}: no ```cpp example found; the tests expect one")
  endif()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()
