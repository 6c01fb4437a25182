// Start-up time to a shown window and the resident memory of the idle panel.
// Runs the program's own start-up steps; prints one line per figure.
//   bench_startup            (offscreen unless QT_QPA_PLATFORM says otherwise)
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>

#include <cstdio>
#include <fstream>
#include <string>

#include "app/control_table.h"
#include "app/state/controls.h"
#include "app/lifecycle.h"
#include "app/state/settings.h"
#include "runtime/panel/panel_access.h"
#include "runtime/core/panel_ops.h"

namespace {

double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kb = 0;
      status >> kb;
      return kb / 1024.0;
    }
    std::getline(status, key);
  }
  return -1;
}

} // namespace

int main(int, char **argv) {
  QElapsedTimer clock;
  clock.start();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));

  if (InitCVIRTE(nullptr, argv, nullptr) == 0)
    return 1;
  RegisterAppControls();
  panelHandle = LoadPanel(0, "nuvaro.uir", MainPanel);
  if (panelHandle < 0)
    return 1;
  DisplayPanel(panelHandle);
  init();
  QWidget *window = rt::PanelWidget(panelHandle);
  // Shown: the first paint has been done.
  while (!window->isVisible() || window->grab().isNull())
    QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  const double startupMs = clock.nsecsElapsed() / 1e6;

  // Idle for two seconds with the timer ticking, then read the memory.
  QTimer::singleShot(2000, [] { QuitUserInterface(0); });
  RunUserInterface();
  std::printf("startup_to_shown_window_ms %.1f\n", startupMs);
  std::printf("idle_resident_memory_mb %.1f\n", ResidentMegabytes());
  DiscardPanel(panelHandle);
  return 0;
}
