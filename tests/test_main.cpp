// Test entry: one Qt application for the whole run, with the application's
// control table registered. With --stop-signal-child it plays the program for
// test_stop_signals.cpp, with --console-event-child for test_console_events.cpp.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

#include "app/control_table.h"
#include "runtime/core/panel_ops.h"

int StopSignalChild(int argc, char **argv);
int ConsoleEventChild(int argc, char **argv);

int main(int argc, char **argv) {
  // Headless unless the caller chose a platform, on one 1920 x 1080 screen
  // (the offscreen platform's own is 800 x 800, smaller than the panel).
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen")
    qputenv("QT_QPA_PLATFORM",
            "offscreen:configfile=" NUVARO_SOURCE_DIR "/tests/screens/1920x1080.json");
#ifdef __linux__
  if (argc > 1 && std::strcmp(argv[1], "--stop-signal-child") == 0)
    return StopSignalChild(argc, argv);
#endif
#ifdef _WIN32
  if (argc > 1 && std::strcmp(argv[1], "--console-event-child") == 0)
    return ConsoleEventChild(argc, argv);
#endif
  ::testing::InitGoogleTest(&argc, argv);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0)
    return 1;
  // As the program does before it loads its panel.
  RegisterAppControls();
  return RUN_ALL_TESTS();
}
