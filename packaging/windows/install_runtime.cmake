# Install-time script (install(CODE) in Windows.cmake): copies beside the
# executables the DLLs they import that Windows does not have, and the Qt
# plugins they load, with the DLLs those import in turn.
#
# The DLLs are found from the imports themselves (objdump -p), followed until
# nothing new turns up, not from a list: a DLL found in the compiler's
# run-time folders or Qt's bin/ is shipped; any other must be one of
# Windows' own (an API set, or a DLL Wine provides as Windows does), or the
# install fails. Windows matches DLL names without case; so does this.
#
# Set by the caller: NUVARO_EXECUTABLES, NUVARO_PLUGINS (category/file
# pairs), NUVARO_DLL_DIRS, NUVARO_SYSTEM_DLL_DIR, NUVARO_OBJDUMP, NUVARO_STRIP.
cmake_policy(PUSH)
cmake_policy(VERSION 3.25) # cmake_install.cmake runs with old policies

function(dll_map dirs out_names out_paths)
  set(names)
  set(paths)
  foreach(dir IN LISTS dirs)
    file(GLOB dlls LIST_DIRECTORIES false ${dir}/*.dll ${dir}/*.DLL)
    foreach(dll IN LISTS dlls)
      get_filename_component(name ${dll} NAME)
      string(TOLOWER ${name} name)
      if(NOT name IN_LIST names) # the first folder wins
        list(APPEND names ${name})
        list(APPEND paths ${dll})
      endif()
    endforeach()
  endforeach()
  set(${out_names} ${names} PARENT_SCOPE)
  set(${out_paths} ${paths} PARENT_SCOPE)
endfunction()

function(imports_of file out)
  execute_process(COMMAND ${NUVARO_OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NUVARO_OBJDUMP} could not read ${file}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
  set(names)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^DLL Name: " "" name "${line}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" name)
    list(APPEND names ${name})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

dll_map("${NUVARO_DLL_DIRS}" ship_names ship_paths)
set(system_names)
if(IS_DIRECTORY ${NUVARO_SYSTEM_DLL_DIR})
  dll_map("${NUVARO_SYSTEM_DLL_DIR}" system_names system_paths)
endif()

set(plugin_files)
set(plugin_categories)
foreach(pair IN LISTS NUVARO_PLUGINS)
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 category)
  list(GET pair 1 file)
  list(APPEND plugin_files ${file})
  list(APPEND plugin_categories ${category})
endforeach()

set(queue ${NUVARO_EXECUTABLES} ${plugin_files})
set(seen)
set(shipped)
set(windows_own)
while(queue)
  list(POP_FRONT queue file)
  imports_of(${file} names)
  foreach(name IN LISTS names)
    if(name IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${name})
    list(FIND ship_names ${name} index)
    if(index GREATER -1)
      list(GET ship_paths ${index} path)
      list(APPEND shipped ${path})
      list(APPEND queue ${path})
    elseif(name MATCHES "^(api|ext)-ms-win-" OR name IN_LIST system_names OR NOT system_names)
      list(APPEND windows_own ${name})
    else()
      message(FATAL_ERROR "${file} imports ${name}, which is neither in ${NUVARO_DLL_DIRS} "
                          "nor one of Windows' own DLLs")
    endif()
  endforeach()
endwhile()

if(NOT system_names)
  message(WARNING "No Wine DLL folder (${NUVARO_SYSTEM_DLL_DIR}) to check these against: "
                  "taken as Windows' own: ${windows_own}")
endif()
set(installed)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE SHARED_LIBRARY FILES ${shipped})
foreach(file IN LISTS shipped)
  get_filename_component(name ${file} NAME)
  list(APPEND installed "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${name}")
endforeach()
foreach(file category IN ZIP_LISTS plugin_files plugin_categories)
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${category}" TYPE SHARED_LIBRARY FILES ${file})
  get_filename_component(name ${file} NAME)
  list(APPEND installed "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${category}/${name}")
endforeach()
# The compiler's run-time DLLs come with their symbols; stripped as the
# programs are (cpack, cmake --install --strip).
if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND ${NUVARO_STRIP} --strip-unneeded ${installed} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NUVARO_STRIP} could not strip ${installed}")
  endif()
endif()
cmake_policy(POP)
