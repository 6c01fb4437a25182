// For a start-up child (bench_startup --child, panel_once): the first paint
// of a window ends the event loop, and the program then shuts down as it does
// when the operator quits. Installed as the application object is made
// (Q_COREAPP_STARTUP_FUNCTION in the program), inside the panel's own
// start-up.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "runtime/core/panel_ops.h"

namespace bench {

class QuitAfterFirstPaint : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->isWindow()) {
      qApp->removeEventFilter(this);
      QTimer::singleShot(0, [] { QuitUserInterface(0); });
    }
    return false;
  }
};

} // namespace bench
