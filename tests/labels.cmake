# CTest labels for the discovered GoogleTest cases, so that `ctest -L <label>`
# picks a kind of test. Read by ctest after the discovery of nuvaro_tests,
# whose case names are then in `nuvaro_tests_TESTS`.
#
#   unit  needs neither a pseudo-terminal nor a panel
#   pty   needs pseudo-terminals (the device simulator, a serial port on one)
#   gui   needs a panel: loads nuvaro.uir or starts the program (offscreen)
#   slow  takes over 1 s on the project's 2-core machine
#
# A label is given by the test suite (the part of the name before the dot); a
# new suite that uses a panel or a pseudo-terminal goes into the list here.
cmake_policy(PUSH)
cmake_policy(SET CMP0057 NEW) # if(... IN_LIST ...); ctest reads this file with old policies

set(nuvaro_pty_suites
  DevsimProgram Nuvaroctl NuvaroctlCompletion PseudoTerminalPort PtyDeviceTest PtyLink PtyPanel StopSignals
  TrafficOverPty)
set(nuvaro_gui_suites
  AppBinary AppPanel BusyFeedback ControlEvents ControlKinds ControlLimits CrispControls DownloadTest
  DownloadTruth GarbageDevice GraphOps KeyboardAccess KeyboardOnly LineNoise Monitor PanelFile
  PanelFileErrors PanelGeometry PanelOps
  PortPaths PtyPanel ScreenReader StopSignals TrafficOverPty TrafficView Vanishing)
# Whole names, measured with `ctest --test-dir build -j1` (over 1 s each).
set(nuvaro_slow_tests
  PortPaths.EveryBadPathTypedOrChosenByNumber
  PtyPanel.DownloadsInBothModesAndFollowsTheRate
  PtyPanel.PollsAgainWithinTwoTicksOfANoiseBurst
  AppBinary.StartsFromAnyFolder
  Nuvaroctl.EachCommandItsOutputStatusAndBytesOnTheLine
  Nuvaroctl.AHeldPortIsLeftAloneAndASignalReleasesIt
  Nuvaroctl.RepliesRunningLateAreNeverReportedAsSuccess
  Nuvaroctl.RefusalsTheFirstFrameWouldHideFailTheRun
  Nuvaroctl.EachLimitTakenAtItsEdgeAndRefusedPastIt
  Nuvaroctl.EachResultTheDeviceCausesAndEachFailureItsStatus
  StopSignals.EachClosesThePortAndEndsTheProgramAsTheSignalDoes)

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
