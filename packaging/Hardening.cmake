# The hardening flags Debian builds with (fortified functions, stack
# protector, read-only relocations, immediate binding), taken from
# dpkg-buildflags where it exists (package dpkg-dev), for every build type but
# Debug: _FORTIFY_SOURCE needs optimisation. Optimisation and debug-info
# flags stay with the build type. The sanitizer and fuzz builds go without:
# fortified functions would bypass the sanitizers' checks.
option(NUVARO_HARDENING "Compile and link with the hardening flags of dpkg-buildflags" ON)

if(NUVARO_HARDENING AND NOT NUVARO_SANITIZE AND NOT NUVARO_FUZZ AND WIN32)
  # mingw-w64: dpkg-buildflags describes Linux (ELF) linking; -z relro and
  # -z now mean nothing to a PE file, whose loader binds every import at start.
  # The stack protector's guard and failure handler, and the fortified
  # functions' checks, live in GCC's libssp, linked in statically so that the
  # programs import no libssp-0.dll. ASLR and DEP are on by default in
  # mingw-w64's linker since binutils 2.36; the flags say so anyway.
  set(release_config "$<NOT:$<CONFIG:Debug>>")
  add_compile_options("$<${release_config}:-D_FORTIFY_SOURCE=2>"
    "$<${release_config}:-fstack-protector-strong>")
  add_link_options("LINKER:--dynamicbase" "LINKER:--nxcompat" "LINKER:--high-entropy-va")
  link_libraries("$<${release_config}:-l:libssp.a>")
elseif(NUVARO_HARDENING AND NOT NUVARO_SANITIZE AND NOT NUVARO_FUZZ)
  find_program(NUVARO_DPKG_BUILDFLAGS dpkg-buildflags)
  if(NUVARO_DPKG_BUILDFLAGS)
    set(release_config "$<NOT:$<CONFIG:Debug>>")
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${NUVARO_DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
      separate_arguments(flags UNIX_COMMAND "${flags}")
      list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
      foreach(flag IN LISTS flags)
        if(kind STREQUAL "LDFLAGS")
          add_link_options("$<${release_config}:${flag}>")
        else()
          add_compile_options("$<${release_config}:${flag}>")
        endif()
      endforeach()
    endforeach()
  else()
    message(STATUS "dpkg-buildflags not found: building without Debian's hardening flags")
  endif()
endif()
