// Feedback while a callback blocks in Delay, and the input given meanwhile.
#include <gtest/gtest.h>

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSpinBox>
#include <QTimer>

#include <functional>
#include <optional>

#include "panel_runtime_fixture.h"
#include "runtime/core/clock.h"
#include "runtime/core/delay.h"
#include "runtime/panel/busy.h"

namespace {

// What the blocking callback saw and does.
struct Blocking {
  std::optional<Qt::CursorShape> cursorWhileBlocked = {};
  std::optional<Qt::CursorShape> cursorInPopup = {};
  QWidget *pressWhileBlocked = nullptr; // gets an Up key "typed" during the wait
  bool popup = false;
};
Blocking blocking;

std::optional<Qt::CursorShape> CurrentOverride() {
  if (const QCursor *c = QGuiApplication::overrideCursor())
    return c->shape();
  return std::nullopt;
}

int BlockingCallback(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  Delay(0.2);
  blocking.cursorWhileBlocked = CurrentOverride();
  if (blocking.pressWhileBlocked)
    QCoreApplication::postEvent(blocking.pressWhileBlocked,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
  if (blocking.popup)
    MessagePopup("", "x");
  return 0;
}

class BusyFeedback : public PanelRuntimeTest {
protected:
  void BindMore() override {
    blocking = Blocking{};
    rt::RegisterCallback("send", &BlockingCallback);
  }

  // Runs `step` from inside an event loop, as the panel's callbacks run, and
  // lets the loop go round a few more times before it ends, as it does in
  // the program.
  static void InLoop(const std::function<void()> &step) {
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
      step();
      QTimer::singleShot(0, &loop, [&] { QTimer::singleShot(0, &loop, &QEventLoop::quit); });
    });
    loop.exec();
  }

  rt::VirtualClock clock;
  rt::ScopedClock useClock{clock};
};

TEST_F(BusyFeedback, CursorIsBusyOnlyWhileACallbackBlocksAndNormalInItsPopup) {
  Delay(0.1); // outside any callback
  EXPECT_FALSE(CurrentOverride().has_value());

  rt::DispatchControlEvent(panel, CTL_SEND, EVENT_COMMIT);
  EXPECT_EQ(blocking.cursorWhileBlocked, Qt::BusyCursor);
  EXPECT_FALSE(CurrentOverride().has_value());
  EXPECT_FALSE(rt::busy::CursorBusy());

  blocking = Blocking{.popup = true};
  rt::SetPopupHandler(
      [](const std::string &, const std::string &) { blocking.cursorInPopup = CurrentOverride(); });
  rt::DispatchControlEvent(panel, CTL_SEND, EVENT_COMMIT);
  EXPECT_EQ(blocking.cursorWhileBlocked, Qt::BusyCursor);
  EXPECT_FALSE(blocking.cursorInPopup.has_value());
}

TEST_F(BusyFeedback, OnlyInputQueuedWhileACallbackBlockedIsDropped) {
  auto *angle = Control<QSpinBox>(CTL_ANGLE);
  const auto pressUp = [angle] {
    QCoreApplication::postEvent(angle, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
  };
  blocking.pressWhileBlocked = angle;
  InLoop([&] { rt::DispatchControlEvent(panel, CTL_SEND, EVENT_COMMIT); });
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(angle->value(), 30);

  // Once the loop has gone round, keys count again.
  InLoop(pressUp);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(angle->value(), 31);

  // Nothing is dropped after a callback that did not block.
  InLoop([&] {
    rt::DispatchControlEvent(panel, CTL_QUIT, EVENT_COMMIT); // the recorder: no Delay
    pressUp();
  });
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(angle->value(), 32);
}

} // namespace
