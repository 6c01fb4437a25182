// The baseline window as a program of its own, for the start-up figures.
//   bare_panel          shows the window until it is closed
//   bare_panel --once   quits as soon as the window is painted
// Offscreen unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstring>

#include "bare_panel.h"

namespace {

// Quits once the window has been painted for the first time.
class QuitAfterPaint : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return false;
  }
};

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  const bool once = argc > 1 && std::strcmp(argv[1], "--once") == 0;
  QApplication app(argc, argv);
  bare::SetUpApplication(app);
  bare::BarePanel panel;
  if (once)
    panel.installEventFilter(new QuitAfterPaint(&panel));
  panel.show();
  // As the panel's display does: in front, with the keyboard focus.
  panel.raise();
  panel.activateWindow();
  return app.exec();
}
