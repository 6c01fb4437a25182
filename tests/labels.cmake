# CTest labels for the discovered GoogleTest cases, so that `ctest -L <label>`
# picks a kind of test. Read by ctest after the discovery of nuvaro_tests,
# whose case names are then in `nuvaro_tests_TESTS`.
#
#   unit  needs neither a pseudo-terminal nor a panel
#   pty   needs pseudo-terminals (the device simulator, a serial port on one)
#   gui   needs a panel: loads nuvaro.uir or starts the program (offscreen)
#   slow  took over 1 s on average in this build folder's earlier runs
#
# unit, pty and gui are given by the test suite (the part of the name before
# the dot); a new suite that uses a panel or a pseudo-terminal goes into the
# list here. slow is measured, not listed: ctest keeps each test's average
# time in Testing/Temporary/CTestCostData.txt, and the tests over 1 s there
# get it. Until a first run has written that file, no test is slow.
cmake_policy(PUSH)
cmake_policy(SET CMP0057 NEW) # if(... IN_LIST ...); ctest reads this file with old policies

set(nuvaro_pty_suites
  DevsimProgram Nuvaroctl NuvaroctlCompletion PseudoTerminalPort PtyDeviceTest PtyLink PtyPanel Ser2net
  Ser2netPanel StopSignals TrafficOverPty)
set(nuvaro_gui_suites
  AppBinary AppPanel BusyFeedback ContributingExample ControlEvents ControlKinds ControlLimits CrispControls
  DownloadTest DownloadTruth GarbageDevice
  GraphOps KeyboardAccess KeyboardOnly LineNoise Monitor PanelFile PanelFileErrors PanelGeometry PanelOps
  PortPaths PtyPanel ScreenReader Ser2netPanel StopSignals TestProgram TrafficOverPty TrafficView
  Vanishing)
# The average times ctest has recorded: "<name> <runs> <seconds>" a line
# (tests/CMakeLists.txt gives the two folders it may keep them in).
set(nuvaro_slow_tests)
foreach(costs IN ITEMS "${nuvaro_tests_binary_dir}/Testing/Temporary/CTestCostData.txt"
                       "${nuvaro_tests_project_binary_dir}/Testing/Temporary/CTestCostData.txt")
  if(EXISTS "${costs}")
    file(STRINGS "${costs}" lines REGEX "^[A-Za-z0-9_]+\\.[A-Za-z0-9_/]+ [0-9]+ [0-9.]+$")
    foreach(line IN LISTS lines)
      string(REPLACE " " ";" fields "${line}")
      list(GET fields 0 name)
      list(GET fields 2 seconds)
      if(seconds VERSION_GREATER 1) # a decimal over 1: "1.05" is 1 and 5 > 1, "1.000" is not
        list(APPEND nuvaro_slow_tests "${name}")
      endif()
    endforeach()
  endif()
endforeach()

foreach(test IN LISTS nuvaro_tests_TESTS)
  string(REGEX REPLACE "\\..*$" "" suite "${test}")
  set(labels)
  if(suite IN_LIST nuvaro_pty_suites)
    list(APPEND labels pty)
  endif()
  if(suite IN_LIST nuvaro_gui_suites)
    list(APPEND labels gui)
  endif()
  if(NOT labels)
    set(labels unit)
  endif()
  if(test IN_LIST nuvaro_slow_tests)
    list(APPEND labels slow)
  endif()
  set_tests_properties("${test}" PROPERTIES LABELS "${labels}")
endforeach()
cmake_policy(POP)
