// Test entry: one Qt application for the whole run, headless unless the
// caller chose a platform.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "runtime/core/panel_ops.h"

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  ::testing::InitGoogleTest(&argc, argv);
  if (InitCVIRTE(nullptr, argv, nullptr) == 0)
    return 1;
  return RUN_ALL_TESTS();
}
