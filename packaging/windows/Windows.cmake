# The Windows programs' icon, their run-time, and the installer and portable
# zip (CPack: NSIS and ZIP). Included from Packaging.cmake in a Windows build
# (scripts/windows.sh), after every target has its install rules.
#
#   cd build-windows && cpack -G "NSIS;ZIP"
#     -> nuvaro-<version>-win64.exe, nuvaro-<version>-win64.zip
#
# Everything installs into one folder: nuvaro.exe, nuvaroctl.exe and the
# panel file beside them (app/, cli/), the DLLs they import, Qt's plugins in
# their category folders (platforms/, styles/), Qt's Chinese texts in
# translations/, and the licences in licences/.
set(windows_dir ${CMAKE_CURRENT_LIST_DIR})
set(windows_out ${CMAKE_BINARY_DIR}/packaging/windows)

# --- The icon, from the scalable one, embedded in each program ----------------
set(NUVARO_WINDOWS_ICON ${windows_out}/nuvaro.ico)
find_program(NUVARO_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(NUVARO_ICOTOOL icotool REQUIRED)
add_custom_command(OUTPUT ${NUVARO_WINDOWS_ICON}
  COMMAND ${CMAKE_COMMAND} -DSVG=${NUVARO_PACKAGING_DIR}/nuvaro.svg -DICO=${NUVARO_WINDOWS_ICON}
          -DWORK=${windows_out}/icon -P ${windows_dir}/make_icon.cmake
  DEPENDS ${NUVARO_PACKAGING_DIR}/nuvaro.svg ${windows_dir}/make_icon.cmake
  COMMENT "Drawing the Windows icon from nuvaro.svg" VERBATIM)
add_custom_target(nuvaro_windows_icon DEPENDS ${NUVARO_WINDOWS_ICON})
# Each program's version resource says what it is (Explorer's Details, the
# Task Manager): its own description and file name, the project's copyright.
set(NUVARO_RC_COPYRIGHT "Copyright © ${NUVARO_COPYRIGHT_YEARS} ${NUVARO_PACKAGE_TEAM}. GPL-3.0-or-later")
set(programs
  "nuvaro|nuvaro 信号发生器控制面板"
  "nuvaroctl|nuvaroctl 信号发生器的命令行工具"
  "bare_panel|nuvaro 启动测量的基准窗口（仅用于测量）"
  "panel_once|nuvaro 启动测量的面板（仅用于测量）")
foreach(program IN LISTS programs)
  string(REPLACE "|" ";" program "${program}")
  list(GET program 0 NUVARO_RC_NAME)
  list(GET program 1 NUVARO_RC_DESCRIPTION)
  if(NOT TARGET ${NUVARO_RC_NAME})
    continue()
  endif()
  set(rc ${windows_out}/${NUVARO_RC_NAME}.rc)
  configure_file(${windows_dir}/nuvaro.rc.in ${rc} @ONLY)
  target_sources(${NUVARO_RC_NAME} PRIVATE ${rc})
  add_dependencies(${NUVARO_RC_NAME} nuvaro_windows_icon)
  set_source_files_properties(${rc} TARGET_DIRECTORY ${NUVARO_RC_NAME}
    PROPERTIES OBJECT_DEPENDS ${NUVARO_WINDOWS_ICON})
endforeach()

# --- The run-time: DLLs from the imports, plugins by category ------------------
# Qt's plugins a program on the desktop loads: the windows platform (offscreen
# and minimal are the tests' headless ones) and every style. No image-format
# plugin: PNG is built into Qt, and on Windows the window icon comes from the
# executable (IDI_ICON1), not from the SVG the Linux build loads.
set(plugins)
file(GLOB platform ${NUVARO_QT_MINGW_PREFIX}/plugins/platforms/qwindows.dll)
file(GLOB styles ${NUVARO_QT_MINGW_PREFIX}/plugins/styles/*.dll)
if(NOT platform)
  message(FATAL_ERROR "No windows platform plugin in ${NUVARO_QT_MINGW_PREFIX}/plugins/platforms")
endif()
foreach(file IN LISTS platform)
  list(APPEND plugins "platforms|${file}")
endforeach()
foreach(file IN LISTS styles)
  list(APPEND plugins "styles|${file}")
endforeach()
# The compiler's own run-time folders first: the programs were linked against them.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
  OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(gcc_dir ${libgcc} DIRECTORY)
set(dll_dirs ${gcc_dir} /usr/${NUVARO_MINGW_TRIPLET}/lib ${NUVARO_QT_MINGW_PREFIX}/bin)
# Wine's copies of Windows' own DLLs: the names a program may import without
# shipping them.
set(system_dll_dir /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
install(CODE "
  set(NUVARO_EXECUTABLES \"$<TARGET_FILE:nuvaro>;$<TARGET_FILE:nuvaroctl>\")
  set(NUVARO_PLUGINS \"${plugins}\")
  set(NUVARO_DLL_DIRS \"${dll_dirs}\")
  set(NUVARO_SYSTEM_DLL_DIR \"${system_dll_dir}\")
  set(NUVARO_OBJDUMP \"${CMAKE_OBJDUMP}\")
  set(NUVARO_STRIP \"${CMAKE_STRIP}\")
  include(\"${windows_dir}/install_runtime.cmake\")")

# --- Qt's own texts in Chinese (Debian's qt6-translations-l10n) ---------------
find_file(NUVARO_QT_ZH_CN qtbase_zh_CN.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH
  NO_CMAKE_FIND_ROOT_PATH)
if(NOT NUVARO_QT_ZH_CN)
  message(FATAL_ERROR "No qtbase_zh_CN.qm: apt-get install qt6-translations-l10n")
endif()
install(FILES ${NUVARO_QT_ZH_CN} DESTINATION translations)

# --- Licences: nuvaro's, Qt's, the GCC and mingw-w64 run-time's ----------------
# Qt (LGPL-3, which builds on the GPL-3 of nuvaro's LICENSE) with Debian's
# record of its parts (the zlib, libpng, pcre2, harfbuzz and freetype it has
# inside); libstdc++ and libgcc (GPL-3 with the GCC Runtime Library
# Exception); winpthreads (mingw-w64's terms).
set(licences
  "${PROJECT_SOURCE_DIR}/LICENSE|nuvaro-GPL-3.txt"
  "/usr/share/common-licenses/LGPL-3|Qt-LGPL-3.txt"
  "/usr/share/doc/libqt6core6/copyright|Qt-copyright.txt"
  "/usr/share/doc/gcc-mingw-w64-base/copyright|GCC-runtime-copyright.txt"
  "/usr/share/doc/mingw-w64-common/copyright|mingw-w64-copyright.txt")
foreach(pair IN LISTS licences)
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  if(NOT EXISTS ${from})
    message(FATAL_ERROR "Licence text ${from} is missing")
  endif()
  install(FILES ${from} DESTINATION licences RENAME ${to})
endforeach()

# --- CPack: the installer and the zip -------------------------------------------
set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_PACKAGE_FILE_NAME nuvaro-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY nuvaro)
set(CPACK_NSIS_PACKAGE_NAME nuvaro)
set(CPACK_NSIS_DISPLAY_NAME "nuvaro ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${NUVARO_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${NUVARO_WINDOWS_ICON})
set(CPACK_NUVARO_COPYRIGHT "${NUVARO_RC_COPYRIGHT}")
# NSIS.template.in here: a 64-bit Unicode installer (CPack's own is 32-bit ANSI).
list(PREPEND CMAKE_MODULE_PATH ${windows_dir})
