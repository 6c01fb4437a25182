// Test entry: one Qt application for the whole run, headless unless the
// caller chose a platform, with the application's control table registered.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "app/control_table.h"
#include "runtime/core/panel_ops.h"

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  ::testing::InitGoogleTest(&argc, argv);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0)
    return 1;
  // As the program does before it loads its panel.
  RegisterAppControls();
  return RUN_ALL_TESTS();
}
