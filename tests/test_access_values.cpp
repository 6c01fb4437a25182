// A screen reader setting values: through the value interface, the
// editable-text interface, and values far outside a control's range. Each is
// stored and sent as typing is, or refused with the stored value shown again.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QSpinBox>

#include <limits>

#include "screen_reader_fixture.h"

namespace {

using screen_reader_test::ScreenReader;

// A value a screen reader sets is the operator's, confirmed as Enter confirms
// a typed one: the callback takes it into Settings and the send button turns
// green, for every number box and ring; the port choice's is a change of
// port. A dimmed control takes none, as it takes no typing.
TEST_F(ScreenReader, AValueSetThroughTheValueInterfaceIsStoredAndSent) {
  rt::AddBuiltInPortChoice(kDevicePort + 1, "second test device");
  struct Case {
    int control, value;
    int SettingsRecord::*field;
  };
  std::vector<Case> cases; // every parameter, then the port choice
  for (const Parameter &p : Parameters())
    cases.push_back({p.control, p.other, p.field});
  cases.push_back({CTL_PORT, kDevicePort + 1, nullptr});
  for (const auto &c : cases) {
    SCOPED_TRACE(c.control);
    SetCtrlAttribute(panelHandle, c.control, ATTR_DIMMED, 0); // as its work mode has it
    SetCtrlAttribute(panelHandle, CTL_SEND, ATTR_CMD_BUTTON_COLOR, COLOR_SENT);
    slectportchanged = 0;
    QAccessibleValueInterface *value = A(c.control)->valueInterface();
    ASSERT_NE(value, nullptr);
    value->setCurrentValue(c.value);
    EXPECT_EQ(Value(c.control), c.value);
    EXPECT_EQ(value->currentValue().toInt(), c.value);
    if (c.field)
      EXPECT_EQ(Settings.*c.field, c.value);
    else
      EXPECT_EQ(slectportchanged, 1); // SelectPort acts on value changed
    EXPECT_EQ(SendColour(), COLOR_PENDING);
  }
  // Its text reads and edits as its field's.
  QAccessibleTextInterface *text = A(CTL_ANGLE)->textInterface();
  ASSERT_NE(text, nullptr);
  const int angle = Settings.angle;
  EXPECT_TRUE(text->text(0, text->characterCount()).startsWith(QString::number(angle)));
  EXPECT_NE(A(CTL_ANGLE)->editableTextInterface(), nullptr);
  SetCtrlAttribute(panelHandle, CTL_ANGLE, ATTR_DIMMED, 1);
  A(CTL_ANGLE)->valueInterface()->setCurrentValue(angle + 1);
  EXPECT_EQ(Value(CTL_ANGLE), angle);
  EXPECT_EQ(Settings.angle, angle);

  ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, kDevicePort), 0);
  Event(CTL_PORT, EVENT_VAL_CHANGED);
  Download();
  SettingsRecord set = PanelStart(); // every field the reader set, sent
  for (const auto &c : cases)
    if (c.field)
      set.*c.field = c.value;
  EXPECT_EQ(Sent(), Expected(set).commands);
  EXPECT_EQ(A(CTL_PORT_LED)->valueInterface(), nullptr); // a lamp is the program's to set
}

// A number from the value interface is clamped to the box's range while it is
// still a double, however far outside int it lies, and only then stored and
// sent; not a number is refused and raises nothing. A ring chooses no item
// for a number none carries.
TEST_F(ScreenReader, AValueFarOutsideTheRangeTakesTheNearerLimitAndNaNIsRefused) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    int control;
    double value;
    int stored; // -1: refused, the value stays
    int SettingsRecord::*field;
  } cases[] = {
      {CTL_ANGLE, 1e12, 360, &SettingsRecord::angle},
      {CTL_ANGLE, 2147483648.0, 360, &SettingsRecord::angle},
      {CTL_ANGLE, -1e12, 0, &SettingsRecord::angle},
      {CTL_ANGLE, inf, 360, &SettingsRecord::angle},
      {CTL_ANGLE, -inf, 0, &SettingsRecord::angle},
      {CTL_ANGLE, nan, -1, &SettingsRecord::angle},
      {CTL_ANGLE, 400, 360, &SettingsRecord::angle},
      {CTL_ANGLE, -5, 0, &SettingsRecord::angle},
      {CTL_ANGLE, 77.6, 78, &SettingsRecord::angle},
      {CTL_WIDTH, 3e9, 1000000, &SettingsRecord::width},
      {CTL_WIDTH, -3e9, 0, &SettingsRecord::width},
      {CTL_WIDTH, inf, 1000000, &SettingsRecord::width},
      {CTL_WIDTH, -inf, 0, &SettingsRecord::width},
      {CTL_WIDTH, nan, -1, &SettingsRecord::width},
      {CTL_SIGNALMODE, 1e12, -1, &SettingsRecord::signalMode},
      {CTL_SIGNALMODE, -inf, -1, &SettingsRecord::signalMode},
      {CTL_SIGNALMODE, nan, -1, &SettingsRecord::signalMode},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.control << " given " << c.value);
    Change(c.control, 1); // stored, and sent
    SetCtrlAttribute(panelHandle, CTL_SEND, ATTR_CMD_BUTTON_COLOR, COLOR_SENT);
    A(c.control)->valueInterface()->setCurrentValue(c.value);
    const int stored = c.stored < 0 ? 1 : c.stored;
    EXPECT_EQ(Value(c.control), stored);
    EXPECT_EQ(Settings.*c.field, stored);
    EXPECT_EQ(SendColour(), c.stored < 0 ? COLOR_SENT : COLOR_PENDING);
  }
  A(CTL_ANGLE)->valueInterface()->setCurrentValue(1e12);
  A(CTL_WIDTH)->valueInterface()->setCurrentValue(-3e9);
  Download();
  SettingsRecord sent = PanelStart();
  sent.angle = 360;
  sent.width = 0;
  EXPECT_EQ(Sent(), Expected(sent).commands);
}

// A text a screen reader sets in a number box, as it sets any text (the whole
// text replaced through the editable-text interface), is taken as typing it
// and Enter: stored, the button green, and sent; text that is no value in the
// range is refused and the box shows the stored value again. A part of the
// text edited is typing, held until the next download confirms it.
TEST_F(ScreenReader, TextSetInANumberBoxIsStoredAndSentOrRefused) {
  QAccessibleInterface *angle = A(CTL_ANGLE);
  QAccessibleEditableTextInterface *edit = angle->editableTextInterface();
  ASSERT_NE(edit, nullptr);
  auto setText = [&](const char *text) {
    edit->replaceText(0, angle->textInterface()->characterCount(), QString::fromUtf8(text));
  };
  const QString suffix = Control<QSpinBox>(CTL_ANGLE)->suffix();
  SetCtrlAttribute(panelHandle, CTL_SEND, ATTR_CMD_BUTTON_COLOR, COLOR_SENT);
  setText("84");
  EXPECT_EQ(Settings.angle, 84);
  EXPECT_EQ(SendColour(), COLOR_PENDING);
  for (const char *refused : {"abc", "400", "-1", "", "8x"}) {
    SCOPED_TRACE(refused);
    setText(refused);
    EXPECT_EQ(angle->text(QAccessible::Value), QStringLiteral("84") + suffix);
    EXPECT_EQ(Value(CTL_ANGLE), 84);
    EXPECT_EQ(Settings.angle, 84);
  }
  Download();
  SettingsRecord sent = PanelStart();
  sent.angle = 84;
  const Strings first = Expected(sent).commands;
  EXPECT_EQ(Sent(), first);

  edit->deleteText(1, 2); // "8"
  edit->insertText(1, QStringLiteral("5"));
  EXPECT_EQ(angle->text(QAccessible::Value), QStringLiteral("85") + suffix);
  EXPECT_EQ(Settings.angle, 84); // typing, not yet confirmed
  clock.Advance(0.5);
  Download();
  sent.angle = 85;
  Strings both = first;
  const Strings second = Expected(sent).commands;
  both.insert(both.end(), second.begin(), second.end());
  EXPECT_EQ(Sent(), both);
  EXPECT_EQ(Settings.angle, 85);
}

} // namespace
