// Test entry: one Qt application for the whole run, headless unless the
// caller chose a platform, with the application's control table registered.
// With --stop-signal-child it plays the program for test_stop_signals.cpp.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

#include "app/control_table.h"
#include "runtime/core/panel_ops.h"

int StopSignalChild(int argc, char **argv);

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
#ifdef __linux__
  if (argc > 1 && std::strcmp(argv[1], "--stop-signal-child") == 0)
    return StopSignalChild(argc, argv);
#endif
  ::testing::InitGoogleTest(&argc, argv);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0)
    return 1;
  // As the program does before it loads its panel.
  RegisterAppControls();
  return RUN_ALL_TESTS();
}
