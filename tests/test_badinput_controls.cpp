// Numeric controls typed at and past their limits, and values set past them:
// Settings takes what the control shows, the preview stays inside its traces
// and a download sends Settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "badinput_fixture.h"
#include "panel_runtime_fixture.h"
#include "runtime/controls/numeric_control.h"

namespace {

// The numeric parameters: all but the rings.
std::vector<Parameter> Numeric() {
  std::vector<Parameter> numeric;
  for (const Parameter &p : Parameters())
    if (!p.ring)
      numeric.push_back(p);
  return numeric;
}

class ControlLimits : public BadInputTest {
protected:
  void ChooseWorkMode(int mode) {
    ASSERT_EQ(SetCtrlVal(panelHandle, CTL_WORKMODE, mode), 0);
    Event(CTL_WORKMODE, EVENT_COMMIT);
  }

  // What the operator does: select the field's text, type over it, Enter.
  // The keys go to the spin box's line edit, which has the keyboard focus
  // when the operator types, or to the spin box itself.
  void TypeAndConfirm(int control, const std::string &text, bool intoLineEdit = true) {
    NumericControl *spin = Control<NumericControl>(control);
    ASSERT_NE(spin, nullptr);
    QWidget *n = spin;
    if (intoLineEdit) {
      n = spin->findChild<QLineEdit *>();
      ASSERT_NE(n, nullptr);
    }
    spin->selectAll();
    // Key by key, as a keyboard (or an input method, for characters beyond
    // ASCII) delivers them.
    for (const QChar ch : QString::fromStdString(text)) {
      if (ch.unicode() < 0x80)
        QTest::keyClick(n, static_cast<char>(ch.unicode()));
      else
        QTest::sendKeyEvent(QTest::Click, n, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QTest::keyClick(n, Qt::Key_Return);
  }

  // Sets every parameter control to `value` (clamped by each control) and
  // hands it to its callback.
  void SetAll(int value) {
    for (const Parameter &c : Numeric()) {
      ASSERT_EQ(SetCtrlVal(panelHandle, c.control, value), 0);
      Event(c.control, c.event);
    }
  }
};

// Texts an operator (or a paste, or a stuck key) may produce.
const Strings kTyped = {
    // At the limits, past them and out of 32 bits.
    "0", "1", "-1", "-2147483648", "2147483647", "2147483648", "4294967296", "99999999999", "360",
    "361", "100000", "100001", "1000000", "1000001",
    // Not plain numbers.
    "abc", "1e9", "0x10", "+5", " 7", "--3", "1,000", "1 000", "1.5", "",
    // Digits beyond ASCII: "３６０" full width, "٣٦٠" Arabic-Indic.
    "\xef\xbc\x93\xef\xbc\x96\xef\xbc\x90", "\xd9\xa3\xd9\xa6\xd9\xa0"};

TEST_F(ControlLimits, TypedTextEndsInRangeAndSettingsHoldsWhatIsShown) {
  for (const bool intoLineEdit : {true, false}) {
    for (const Parameter &c : Numeric()) {
      ChooseWorkMode(c.sweep ? 0 : 1);
      NumericControl *n = Control<NumericControl>(c.control);
      ASSERT_NE(n, nullptr);
      for (const std::string &text : kTyped) {
        SCOPED_TRACE("control " + std::to_string(c.control) + " typed \"" + text + "\"" +
                     (intoLineEdit ? " into its line edit" : " into the spin box"));
        TypeAndConfirm(c.control, text, intoLineEdit);
        const int shown = Value(c.control);
        EXPECT_GE(shown, n->minimum());
        EXPECT_LE(shown, n->maximum());
        EXPECT_EQ(n->cleanText().toInt(), shown) << "the field shows " << n->text().toStdString();
        EXPECT_EQ(Settings, Shown());
        ExpectPreviewSane();
      }
    }
  }
  EXPECT_TRUE(popups.empty());
  EXPECT_TRUE(Sent().empty()); // editing never talks to the device
}

// A 0 where the minimum is 1 is not taken, and the digit that would pass the
// maximum is refused: the value stays the longest text in range, and that is
// what the callbacks store.
TEST_F(ControlLimits, TypingKeepsTheLongestValueInRange) {
  const struct {
    int mode, control;
    int SettingsRecord::*field;
    const char *typed;
    int kept;
  } cases[] = {
      {0, CTL_REPEAT, &SettingsRecord::repeat, "5", 5},
      {0, CTL_REPEAT, &SettingsRecord::repeat, "0", 5},
      {1, CTL_RATE, &SettingsRecord::rate, "0", 3000},
      {1, CTL_ANGLE, &SettingsRecord::angle, "361", 36},
      {1, CTL_WIDTH, &SettingsRecord::width, "99999999999", 999999},
      {1, CTL_RATE, &SettingsRecord::rate, "4294967296", 42949},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed);
    ChooseWorkMode(c.mode);
    TypeAndConfirm(c.control, c.typed);
    EXPECT_EQ(Value(c.control), c.kept);
    EXPECT_EQ(Settings.*c.field, c.kept);
  }
  DownloadAndExpectSettingsSent();
}

TEST_F(ControlLimits, TextThatIsNoNumberLeavesTheValue) {
  ChooseWorkMode(0);
  const SettingsRecord before = Settings;
  for (int control : {CTL_SWEEPMIN, CTL_ANGLE, CTL_WIDTH}) {
    for (const char *text : {"abc", "-", "--", "", "\xef\xbc\x93"}) {
      SCOPED_TRACE(std::to_string(control) + " \"" + text + "\"");
      TypeAndConfirm(control, text);
    }
  }
  EXPECT_EQ(Settings, before);
  EXPECT_EQ(Shown(), before);
}

TEST_F(ControlLimits, DimmedControlTakesNoTyping) {
  ChooseWorkMode(1); // the sweep controls are dimmed
  const SettingsRecord before = Settings;
  TypeAndConfirm(CTL_SWEEPMAX, "77");
  TypeAndConfirm(CTL_REPEAT, "99999999999");
  EXPECT_EQ(Settings, before);
  EXPECT_EQ(Shown(), before);
}

TEST_F(ControlLimits, TypedPastTheLimitThenStraightToTheSendButton) {
  // No Enter: the operator types and clicks the send button. Whether the
  // typed value counts is the toolkit's; what goes out is what Settings holds.
  QWidget *window = ShowActive(panelHandle);
  NumericControl *width = Control<NumericControl>(CTL_WIDTH);
  width->setFocus();
  width->selectAll();
  QTest::keyClicks(width, "99999999999");
  ASSERT_EQ(Value(CTL_WIDTH), 999999);
  QTest::mouseClick(rt::ControlWidget(panelHandle, CTL_SEND), Qt::LeftButton);
  EXPECT_EQ(Settings, Shown());
  EXPECT_EQ(Sent(), Expected(Settings).commands);
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  window->hide();
}

TEST_F(ControlLimits, ValuesSetPastTheLimitsAreClampedAndStored) {
  for (const int value : {INT_MIN, -1, 0, 361, 100001, 1000001, INT_MAX}) {
    SCOPED_TRACE(value);
    SetAll(value);
    for (const Parameter &c : Numeric()) {
      NumericControl *n = Control<NumericControl>(c.control);
      EXPECT_EQ(Value(c.control), std::clamp(value, n->minimum(), n->maximum()))
          << "control " << c.control;
      EXPECT_EQ(Settings.*c.field, Value(c.control)) << "control " << c.control;
    }
    ExpectPreviewSane();
  }
}

TEST_F(ControlLimits, ExtremeSettingsDownloadAsStoredInBothModes) {
  for (const int value : {INT_MAX, INT_MIN}) {
    for (const int mode : {1, 0}) {
      SCOPED_TRACE(std::to_string(value) + (mode ? " fixed" : " sweep"));
      ChooseWorkMode(mode);
      SetAll(value);
      ASSERT_EQ(Settings, Shown());
      DownloadAndExpectSettingsSent();
    }
  }
}

TEST_F(ControlLimits, ExtremesDrawWithoutTrouble) {
  // The widest pulse at the last angle and the fastest rate; the meter's range
  // upside down (minimum above maximum) and a reading far outside it.
  SetAll(INT_MAX);
  Change(CTL_SWEEPMAX, 1);
  ExpectPreviewSane();
  // The first pulse alone is longer than the revolution: cut at the last
  // sample, with the second (at the angle's sample, 1000) wholly past it.
  EXPECT_EQ(datapoints[WAVE_SAMPLES - 1], 8.0);
  EXPECT_EQ(datapoints1[WAVE_SAMPLES - 1], 5.0);

  QWidget *window = rt::PanelWidget(panelHandle);
  ASSERT_NE(window, nullptr);
  window->resize(1200, 800);
  for (const int reading : {INT_MIN, -1, 0, INT_MAX}) {
    SetCtrlVal(panelHandle, CTL_RATE_METER, reading);
    const QPixmap shot = window->grab(); // paints every control
    EXPECT_FALSE(shot.isNull());
  }
  SetAll(INT_MIN);
  EXPECT_FALSE(window->grab().isNull());
}

} // namespace
