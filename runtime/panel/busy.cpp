#include "runtime/panel/busy.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include "runtime/console/stop_signals.h"
#include "runtime/core/delay.h"
#include "runtime/core/serial_tap.h"

namespace rt::busy {

namespace {

struct State {
  int depth = 0;
  bool blocked = false; // Delay blocked during the current dispatch
  bool cursorSet = false;
  bool draining = false;
  QPointer<QWidget> control; // whose event the outermost dispatch carries
};

State &S() {
  static State state;
  return state;
}

bool IsUserInput(QEvent::Type type) {
  switch (type) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::KeyPress:
  case QEvent::KeyRelease:
  case QEvent::Wheel:
  case QEvent::Shortcut:
  case QEvent::ShortcutOverride:
  case QEvent::ContextMenu:
  case QEvent::TouchBegin:
  case QEvent::TouchUpdate:
  case QEvent::TouchEnd:
  case QEvent::TabletPress:
  case QEvent::TabletRelease: return true;
  default: return false;
  }
}

class InputFilter : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *receiver, QEvent *event) override {
    // Only what reaches widgets: the window-level bookkeeping of buttons and
    // focus stays consistent.
    if (!S().draining || !receiver->isWidgetType() || !IsUserInput(event->type()))
      return false;
    if (event->type() == QEvent::ShortcutOverride)
      event->accept(); // no shortcut fires for a dropped key
    return true;
  }
};

} // namespace

void Install() {
  static bool installed = false;
  auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
  if (installed || !app)
    return;
  installed = true;
  app->installEventFilter(new InputFilter(app));
  SetBusyHook(&NoteBlocking);
}

DispatchScope::DispatchScope(QWidget *control) {
  if (S().depth++ == 0)
    S().control = control;
}

DispatchScope::~DispatchScope() {
  if (--S().depth == 0)
    EndBusy();
}

void NoteBlocking() {
  // No event loop runs while Delay blocks, so a stop signal is looked for here.
  stop::ActOnPending();
  State &s = S();
  if (s.depth == 0)
    return;
  s.blocked = true;
  if (!s.cursorSet && qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
    // The platform applies the cursor at once; nothing here may run the
    // event loop, which Delay must not do.
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    s.cursorSet = true;
  }
  ShowProgress(s.control);
}

void EndBusy() {
  State &s = S();
  RestoreProgress();
  // What the callback did on the line is decoded now, before a popup or the
  // next event: the view shows it in order with what follows.
  DrainSerialTap();
  if (s.cursorSet) {
    QGuiApplication::restoreOverrideCursor();
    s.cursorSet = false;
  }
  if (!s.blocked || s.draining)
    return;
  s.blocked = false;
  if (QThread::currentThread()->loopLevel() == 0 ||
      !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    return;
  s.draining = true;
  QGuiApplication::sync();
  s.draining = false;
}

bool InDispatch() {
  return S().depth > 0;
}
bool CursorBusy() {
  return S().cursorSet;
}
bool Draining() {
  return S().draining;
}

} // namespace rt::busy
