# Cross-compiling for Windows x86-64 with Debian's mingw-w64 (posix threads,
# which the C++ run-time's std::thread and std::mutex need).
#
#   cmake -S . -B build-windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DNUVARO_QT_MINGW_PREFIX=/opt/qt6-mingw
#
# NUVARO_QT_MINGW_PREFIX is a Qt built for x86_64-w64-mingw32 (scripts/windows.sh
# finds or builds one). Qt's host tools (moc, rcc, uic) come from the Linux Qt
# of the same version (QT_HOST_PATH).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NUVARO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NUVARO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NUVARO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${NUVARO_MINGW_TRIPLET}-windres)

# try_compile projects see the toolchain file again, with the cache empty.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NUVARO_QT_MINGW_PREFIX)
if(NOT NUVARO_QT_MINGW_PREFIX AND DEFINED ENV{NUVARO_QT_MINGW_PREFIX})
  set(NUVARO_QT_MINGW_PREFIX $ENV{NUVARO_QT_MINGW_PREFIX})
endif()
set(NUVARO_QT_MINGW_PREFIX "${NUVARO_QT_MINGW_PREFIX}" CACHE PATH "Qt built for x86_64-w64-mingw32")

set(CMAKE_FIND_ROOT_PATH /usr/${NUVARO_MINGW_TRIPLET} ${NUVARO_QT_MINGW_PREFIX})
set(CMAKE_PREFIX_PATH ${NUVARO_QT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(QT_HOST_PATH /usr CACHE PATH "Qt's host tools: the Linux Qt of the same version")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

# The test programs run under Wine (ctest, gtest_discover_tests), in the
# Wine prefix of the environment (WINEPREFIX), finding Qt's DLLs in the Qt
# prefix (Qt then finds its plugins from where its DLLs are).
find_program(NUVARO_WINE wine)
if(NUVARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env "WINEPATH=Z:${NUVARO_QT_MINGW_PREFIX}/bin"
      WINEDEBUG=-all ${NUVARO_WINE})
endif()
