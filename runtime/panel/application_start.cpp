#include "runtime/panel/application_start.h"

#include <QApplication>

#include <cstdlib>
#include <vector>

#include "runtime/panel/ui_font.h"

namespace rt {

namespace {

bool HeadlessWithoutDisplay() {
#if defined(Q_OS_LINUX)
  // An explicit platform choice (offscreen, ...) is left to Qt.
  return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
         qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
  return false;
#endif
}

// What Qt says while its platform starts is held back: a display that cannot
// be reached makes Qt complain and then give up with a fatal message, and a
// failed start says nothing. When the start succeeds, what was held back is
// passed on as it would have been.
struct HeldMessage {
  QtMsgType type;
  const char *file;
  int line;
  const char *function;
  const char *category; // Qt's categories and source locations are literals
  QString text;
};

QtMessageHandler passOn = nullptr;
std::vector<HeldMessage> *held = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext &context, const QString &text) {
  if (type == QtFatalMsg)
    std::_Exit(255); // the platform could not start: a failed run-time start
  held->push_back({type, context.file, context.line, context.function, context.category, text});
}

} // namespace

QApplication *StartApplication(int &argc, char **argv, bool platformGiven) {
  if (!platformGiven && HeadlessWithoutDisplay())
    return nullptr;
  std::vector<HeldMessage> messages;
  held = &messages;
  passOn = qInstallMessageHandler(HoldMessage);
  auto *app = new QApplication(argc, argv);
  qInstallMessageHandler(passOn);
  held = nullptr;
  for (const HeldMessage &m : messages) {
    const QMessageLogContext context(m.file, m.line, m.function, m.category);
    if (passOn)
      passOn(m.type, context, m.text);
    else
      qt_message_output(m.type, context, m.text);
  }
  UseAnInstalledUiFont(*app);
  return app;
}

} // namespace rt
