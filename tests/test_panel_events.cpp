// Which events the controls send for what the operator does, and that values
// the program sets send none.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include "panel_runtime_fixture.h"
#include "runtime/controls/led.h"
#include "runtime/controls/numeric_control.h"
#include "runtime/controls/port_selector.h"
#include "runtime/controls/ring_control.h"
#include "runtime/controls/timer_control.h"
#include "runtime/core/port_choices.h"

namespace {

using ControlEvents = PanelRuntimeTest;

void LeaveControl(QWidget *w) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(w, &out);
}

void TurnWheel(QWidget *w, int notches) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QWheelEvent wheel(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w, &wheel);
}

// Typing sends value-changed and Enter commits; a step (a key or the wheel)
// changes and commits at once; leaving commits only a value edited since.
TEST_F(ControlEvents, NumericControlsCommitOnEnterOnAStepAndOnLeavingAnEdit) {
  auto *rate = Control<NumericControl>(CTL_RATE);
  rate->selectAll();
  QTest::keyClicks(rate, "4500");
  EXPECT_EQ(Value(CTL_RATE), 4500);
  EXPECT_EQ(Take(), (Events{{CTL_RATE, 2}, {CTL_RATE, 2}, {CTL_RATE, 2}, {CTL_RATE, 2}}));

  QTest::keyClick(rate, Qt::Key_Return);
  EXPECT_EQ(Take(), (Events{{CTL_RATE, 1}}));
  // Enter confirms again even when nothing changed; leaving does not.
  QTest::keyClick(rate, Qt::Key_Enter);
  LeaveControl(rate);
  EXPECT_EQ(Take(), (Events{{CTL_RATE, 1}}));

  auto *angle = Control<NumericControl>(CTL_ANGLE);
  QTest::keyClick(angle, Qt::Key_Up);
  EXPECT_EQ(Value(CTL_ANGLE), 31);
  EXPECT_EQ(Take(), (Events{{CTL_ANGLE, 2}, {CTL_ANGLE, 1}}));

  TurnWheel(angle, -2);
  EXPECT_EQ(Value(CTL_ANGLE), 29);
  EXPECT_EQ(Take(), (Events{{CTL_ANGLE, 2}, {CTL_ANGLE, 1}}));

  LeaveControl(angle); // the steps were confirmed already
  EXPECT_TRUE(Take().empty());

  auto *width = Control<NumericControl>(CTL_WIDTH);
  LeaveControl(width);
  EXPECT_TRUE(Take().empty());

  width->selectAll();
  QTest::keyClicks(width, "250");
  Take();
  LeaveControl(width);
  EXPECT_EQ(Take(), (Events{{CTL_WIDTH, 1}}));
  LeaveControl(width);
  EXPECT_TRUE(Take().empty());
}

TEST_F(ControlEvents, ValuesSetByTheProgramSendNothing) {
  for (const auto &[id, value] :
       {std::pair{CTL_RATE, 1234}, {CTL_WORKMODE, 0}, {CTL_SIGNALMODE, 0}, {CTL_PORT_LED, 1}})
    ASSERT_EQ(SetCtrlVal(panel, id, value), 0) << id;
  ASSERT_EQ(SetCtrlAttribute(panel, CTL_ANGLE, ATTR_MAX_VALUE, 10), 0); // clamps 30 to 10
  ASSERT_EQ(SetCtrlVal(panel, CTL_PORT, Value(CTL_PORT)), 0);
  EXPECT_EQ(Value(CTL_ANGLE), 10);
  ASSERT_EQ(SetCtrlVal(panel, CTL_ANGLE, -1), 0); // clamped at the bottom too
  EXPECT_EQ(Value(CTL_ANGLE), 0);
  EXPECT_EQ(Control<RingControl>(CTL_WORKMODE)->currentText(), QStringLiteral("扫速模式"));
  // Nor does leaving a control whose value only the program changed.
  LeaveControl(Control<QWidget>(CTL_RATE));
  LeaveControl(Control<QWidget>(CTL_ANGLE));
  EXPECT_TRUE(Take().empty());
}

TEST_F(ControlEvents, LedSendsLeftClickForMouseAndKeys) {
  auto *led = Control<Led>(CTL_COMM_LED);
  QTest::mouseClick(led, Qt::LeftButton);
  QTest::mouseClick(led, Qt::RightButton);
  QTest::keyClick(led, Qt::Key_Space);
  QTest::keyClick(led, Qt::Key_Return);
  QTest::keyClick(led, Qt::Key_A);
  QTest::keyPress(led, Qt::Key_Space);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
  QCoreApplication::sendEvent(led, &repeat);
  QTest::keyRelease(led, Qt::Key_Space);
  EXPECT_EQ(Take(),
            (Events{{CTL_COMM_LED, 3}, {CTL_COMM_LED, 3}, {CTL_COMM_LED, 3}, {CTL_COMM_LED, 3}}));

  // The state reads out in words.
  SetCtrlVal(panel, CTL_PORT_LED, 1);
  EXPECT_EQ(Control<Led>(CTL_PORT_LED)->accessibleDescription(), QStringLiteral("串口已打开"));
  SetCtrlVal(panel, CTL_PORT_LED, 0);
  EXPECT_EQ(Control<Led>(CTL_PORT_LED)->accessibleDescription(), QStringLiteral("串口未打开"));

  SetCtrlAttribute(panel, CTL_COMM_LED, ATTR_DIMMED, 1);
  QTest::mouseClick(led, Qt::LeftButton);
  QTest::keyClick(led, Qt::Key_Space);
  EXPECT_TRUE(Take().empty());
}

// Buttons commit on a click; one given with the focus on an edited value
// commits the value first.
TEST_F(ControlEvents, ButtonsCommitOnClickAfterTheValueBeingEdited) {
  for (int id : {CTL_SEND, CTL_QUIT, CTL_CLEAN})
    QTest::mouseClick(Control<QAbstractButton>(id), Qt::LeftButton);
  EXPECT_EQ(Take(), (Events{{CTL_SEND, 1}, {CTL_QUIT, 1}, {CTL_CLEAN, 1}}));

  ShowActive(panel);
  auto *angle = Control<NumericControl>(CTL_ANGLE);
  angle->setFocus();
  ASSERT_TRUE(angle->hasFocus());
  angle->selectAll();
  QTest::keyClicks(angle, "45");
  Take();
  Control<QAbstractButton>(CTL_SEND)->click(); // as its shortcut does
  EXPECT_EQ(Take(), (Events{{CTL_ANGLE, 1}, {CTL_SEND, 1}}));
}

TEST_F(ControlEvents, PortChoiceSendsValueChangedOnEveryChange) {
  rt::AddBuiltInPortChoice(990, "test port A");
  rt::AddBuiltInPortChoice(991, "test port B");
  auto *port = Control<PortSelector>(CTL_PORT);
  port->refreshChoices();
  ASSERT_EQ(SetCtrlVal(panel, CTL_PORT, 990), 0);
  EXPECT_EQ(SetCtrlVal(panel, CTL_PORT, 12345), UIE_BAD_VALUE);
  EXPECT_EQ(Value(CTL_PORT), 990);

  port->showPopup(); // the list is read again; the choice stays
  port->hidePopup();
  EXPECT_EQ(Value(CTL_PORT), 990);
  EXPECT_TRUE(Take().empty());

  QTest::keyClick(port, Qt::Key_Down);
  EXPECT_EQ(Value(CTL_PORT), 991);
  EXPECT_EQ(Take(), (Events{{CTL_PORT, 2}}));
}

TEST_F(ControlEvents, TypedDevicePathJoinsTheListAndBecomesTheChoice) {
  auto *port = Control<PortSelector>(CTL_PORT);
  const char *path = "/dev/nuvaro-typed-test";
  port->lineEdit()->setText(QString::fromLatin1(path));
  QTest::keyClick(port->lineEdit(), Qt::Key_Return);
  const int number = Value(CTL_PORT);
  EXPECT_EQ(number, rt::PortNumberForPath(path));
  EXPECT_GT(number, 0);
  EXPECT_EQ(Take(), (Events{{CTL_PORT, 2}}));

  // Typing it again, or nothing at all, changes nothing.
  port->lineEdit()->setText(QString::fromLatin1(path));
  QTest::keyClick(port->lineEdit(), Qt::Key_Return);
  port->lineEdit()->clear();
  QTest::keyClick(port->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(Value(CTL_PORT), number);
  EXPECT_EQ(port->lineEdit()->text(), port->currentText());
  EXPECT_TRUE(Take().empty());
}

TEST_F(ControlEvents, TimerTicksOnlyWhileShownAndNotSuspended) {
  auto *timer = Control<TimerControl>(CTL_TIMER);
  timer->tick();
  EXPECT_EQ(Take(), (Events{{CTL_TIMER, 15}}));

  DisplayPanel(panel);
  EXPECT_TRUE(timer->isTicking());
  SuspendTimerCallbacks();
  EXPECT_TRUE(rt::TimerCallbacksSuspended());
  EXPECT_TRUE(timer->isTicking()); // running on, for the meters' sake
  timer->tick();                   // due while suspended: held, no event
  EXPECT_TRUE(Take().empty());
  ResumeTimerCallbacks();
  EXPECT_TRUE(timer->isTicking());
  timer->tick();
  EXPECT_EQ(Take(), (Events{{CTL_TIMER, 15}}));
}

} // namespace
