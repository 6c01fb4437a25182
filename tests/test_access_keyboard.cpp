// The panel from the keyboard alone: Tab walks every control in reading
// order, label mnemonics reach their controls, focus is visible on the
// painted controls, and a download and a link check need no mouse.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTest>

#include <map>
#include <set>

#include "panel_fixture.h"
#include "panel_runtime_fixture.h"

namespace {

// The control a widget belongs to (an editable list's line edit, say), 0 for none.
int ControlOf(int panel, QWidget *w) {
  for (; w; w = w->parentWidget())
    for (int id : kVisibleControls)
      if (rt::ControlWidget(panel, id) == w)
        return id;
  return 0;
}

class KeyboardAccess : public PanelRuntimeTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PanelRuntimeTest::SetUp());
    window = ShowActive(panel);
    for (int id : kVisibleControls) // both work modes' controls at once
      SetCtrlAttribute(panel, id, ATTR_DIMMED, 0);
  }
  QRect Area(int id) {
    QWidget *w = rt::ControlWidget(panel, id);
    return {w->mapTo(window, QPoint()), w->size()};
  }
  int Focused() { return ControlOf(panel, QApplication::focusWidget()); }

  QWidget *window = nullptr;
};

TEST_F(KeyboardAccess, TabVisitsEveryControlOnceInReadingOrderAndComesBackToTheFirst) {
  rt::ControlWidget(panel, CTL_PORT)->setFocus();
  std::vector<int> visited{Focused()};
  for (int i = 0; i < 40; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (Focused() == visited.front())
      break;
    visited.push_back(Focused());
  }
  ASSERT_EQ(Focused(), CTL_PORT) << "Tab never came back to the first control";
  EXPECT_EQ(std::set<int>(visited.begin(), visited.end()),
            std::set<int>(std::begin(kVisibleControls), std::end(kVisibleControls)));
  EXPECT_EQ(visited.size(), std::size(kVisibleControls));

  // Columns left to right, each top to bottom (side by side in a row: left first).
  for (std::size_t i = 1; i < visited.size(); ++i) {
    const QRect a = Area(visited[i - 1]);
    const QRect b = Area(visited[i]);
    const bool right = b.left() > a.right();
    const bool below = b.top() > a.bottom() && b.left() <= a.right() && a.left() <= b.right();
    EXPECT_TRUE(right || below) << "control " << visited[i] << " after " << visited[i - 1];
  }
}

TEST_F(KeyboardAccess, EveryLabelHasItsOwnMnemonicThatFocusesItsControl) {
  std::map<QKeySequence, QString> taken;
  for (auto *button : window->findChildren<QAbstractButton *>()) {
    const QKeySequence key = QKeySequence::mnemonic(button->text());
    if (!key.isEmpty())
      taken[key] = button->text();
  }
  for (QLabel *label : window->findChildren<QLabel *>()) {
    if (!label->buddy())
      continue;
    SCOPED_TRACE(label->text().toStdString());
    const QKeySequence key = QKeySequence::mnemonic(label->text());
    ASSERT_FALSE(key.isEmpty());
    EXPECT_TRUE(taken.emplace(key, label->text()).second) << "also " << taken[key].toStdString();

    rt::ControlWidget(panel, CTL_SEND)->setFocus();
    QTest::keySequence(window, key);
    EXPECT_EQ(QApplication::focusWidget(),
              label->buddy()->focusProxy() ? label->buddy()->focusProxy() : label->buddy());
  }
}

TEST_F(KeyboardAccess, FocusIsVisibleOnThePaintedControls) {
  for (int id : {CTL_PORT_LED, CTL_COMM_LED, CTL_RATE_METER, CTL_PULSE_GRAPH}) {
    QWidget *w = rt::ControlWidget(panel, id);
    rt::ControlWidget(panel, CTL_SEND)->setFocus();
    const QImage without = w->grab().toImage();
    w->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(w->hasFocus()) << "control " << id;
    EXPECT_NE(w->grab().toImage(), without) << "control " << id;
  }
}

using KeyboardOnly = PanelTest;

TEST_F(KeyboardOnly, TypedValueTabAndCtrlReturnDownloadThenAltCAndSpaceCheckTheLink) {
  QWidget *window = ShowActive(panelHandle);
  QWidget *angle = rt::ControlWidget(panelHandle, CTL_ANGLE);
  angle->setFocus();
  QTest::keyClick(angle, Qt::Key_A, Qt::ControlModifier); // select all
  QTest::keyClicks(angle, "45");
  QTest::keyClick(angle, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), rt::ControlWidget(panelHandle, CTL_WIDTH));
  EXPECT_EQ(Settings.angle, 45);
  EXPECT_TRUE(Sent().empty());

  // The shortcut clicks the button after showing it pressed for a moment.
  QTest::keyClick(window, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return SendColour() == COLOR_SENT; }, 10000));
  SettingsRecord typed = PanelStart();
  typed.angle = 45;
  EXPECT_EQ(Sent(), Expected(typed).commands);
  EXPECT_EQ(Value(CTL_PORT_LED), 1);

  SetCtrlVal(panelHandle, CTL_COMM_LED, 0);
  QTest::keyClick(window, Qt::Key_C, Qt::AltModifier);
  ASSERT_EQ(QApplication::focusWidget(), rt::ControlWidget(panelHandle, CTL_COMM_LED));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_EQ(Sent().back(), "Q1");
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_TRUE(popups.empty());
}

} // namespace
