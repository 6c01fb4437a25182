// Every kind of control the run-time registers, through each of its routes,
// from one table: the value the program sets and reads, the events the
// operator's mouse or keys raise, and what assistive technology sees and
// raises through each of its action, value and editable-text routes, after
// each of which the control shows only what its callback stored. The panel is the shipped
// one with a line box and a rich text box added, so that every registered
// class has a control here; a kind registered without a row fails the test.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "own_classes.h"
#include "panel_runtime_fixture.h"
#include "runtime/controls/timer_control.h"
#include "runtime/core/port_choices.h"
#include "runtime/panel/kind_registry.h"
#include "runtime/panel/panel_registry.h"

namespace rt::example {
const ControlKind &CheckBoxKind(); // CONTRIBUTING.md's example, built with the tests
}

namespace {

constexpr int kLineBox = 90, kRichBox = 91; // controls of no row of the control table

// The shipped panel file with the two boxes added at the top level.
QByteArray PanelFileWithEveryKind() {
  QFile shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/nuvaro.uir"));
  if (!shipped.open(QIODevice::ReadOnly))
    return {};
  QByteArray file = shipped.readAll();
  const QByteArray root = "<widget class=\"QWidget\" name=\"MainPanel\">";
  QByteArray boxes;
  for (const auto &[cls, name, id] :
       {std::tuple{"QLineEdit", "lineBox", kLineBox}, std::tuple{"QTextEdit", "richBox", kRichBox}})
    boxes += QStringLiteral("<widget class=\"%1\" name=\"%2\"><property name=\"ctrlId\" "
                            "stdset=\"0\"><number>%3</number></property></widget>")
                 .arg(QLatin1String(cls), QLatin1String(name))
                 .arg(id)
                 .toUtf8();
  return file.replace(root, root + boxes);
}

class ControlKinds : public PanelRuntimeTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PanelRuntimeTest::SetUp());
    DiscardPanel(panel);
    panel = 0;
    AddRows();
    ASSERT_TRUE(dir.isValid());
    QFile copy(dir.filePath(QStringLiteral("every-kind.uir")));
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(PanelFile());
    copy.close();
    panel = LoadPanel(0, copy.fileName().toUtf8().constData(), MainPanel);
    ASSERT_GT(panel, 0);
  }
  virtual QByteArray PanelFile() { return PanelFileWithEveryKind(); }
  // Rows of the control table for controls the file adds.
  virtual void AddRows() {}

  QAccessibleInterface *A(int id) {
    return QAccessible::queryAccessibleInterface(rt::ControlWidget(panel, id));
  }

  QTemporaryDir dir;
};

// How one route is taken, and the events it raises.
struct Route {
  std::function<void(QWidget *)> take;
  std::vector<RecordedEvent> raised;
};
using Assist = std::function<void(QAccessibleInterface *)>;
struct AssistantRoute {
  std::string name;
  Assist take;
  std::vector<RecordedEvent> raised;
};

struct KindRow {
  const char *className;
  int control;
  std::vector<std::pair<int, int>> values; // set, then read back; none: the kind has no value
  std::optional<int> refused;              // a value it cannot take
  Route byOperator;
  QAccessible::Role role;
  std::vector<AssistantRoute> byAssistant; // none: Qt's own, nothing to do
};

void Press(QAccessibleInterface *a) {
  a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}
AssistantRoute SetValue(double value, std::vector<RecordedEvent> raised) {
  return {"value " + std::to_string(value),
          [value](QAccessibleInterface *a) { a->valueInterface()->setCurrentValue(value); },
          std::move(raised)};
}
// The whole text replaced, as a screen reader sets a text.
AssistantRoute SetText(const QString &text, std::vector<RecordedEvent> raised) {
  return {"text \"" + text.toStdString() + "\"",
          [text](QAccessibleInterface *a) {
            a->editableTextInterface()->replaceText(0, a->textInterface()->characterCount(), text);
          },
          std::move(raised)};
}
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
std::function<void(QWidget *)> Key(Qt::Key key) {
  return [key](QWidget *w) { QTest::keyClick(w, key); };
}
void Click(QWidget *w) {
  QTest::mouseClick(w, Qt::LeftButton);
}

TEST_F(ControlKinds, EachRegisteredKindThroughItsValueEventAndAccessibleRoutes) {
  rt::AddBuiltInPortChoice(990, "test port A");
  rt::AddBuiltInPortChoice(991, "test port B");
  // Another control's event, after typing held in a number box.
  auto thenClean = [this](Assist edit) {
    return [this, edit](QAccessibleInterface *a) {
      edit(a);
      rt::DispatchControlEvent(panel, CTL_CLEAN, EVENT_COMMIT);
    };
  };
  const std::vector<RecordedEvent> rateTaken{{CTL_RATE, 2}, {CTL_RATE, 1}};
  const KindRow rows[] = {
      // A number box clamps to its range; a key steps and commits; a value
      // or a whole text from assistive technology is confirmed at once, as
      // typing it and Enter are, or refused; a part of its text edited is
      // typing, confirmed or reverted before another control's event.
      {"NumericControl",
       CTL_RATE,
       {{0, 1}, {INT_MAX, 100000}, {4500, 4500}},
       {},
       {Key(Qt::Key_Up), rateTaken},
       QAccessible::SpinBox,
       {SetValue(2500, rateTaken),
        SetValue(1e12, rateTaken),
        SetValue(-std::numeric_limits<double>::infinity(), rateTaken),
        SetValue(kNaN, {}),
        SetText(QStringLiteral("2600"), rateTaken),
        SetText(QStringLiteral("2600"), {{CTL_RATE, 1}}),
        SetText(QStringLiteral("abc"), {}),
        SetText(QStringLiteral("100001"), {}),
        SetText(QString(), {}),
        {"insert, then another control",
         thenClean([](QAccessibleInterface *a) {
           a->editableTextInterface()->insertText(0, QStringLiteral("1"));
         }),
         {{CTL_RATE, 2}, {CTL_RATE, 1}, {CTL_CLEAN, 1}}},
        {"insert refused",
         [](QAccessibleInterface *a) {
           a->editableTextInterface()->insertText(0, QStringLiteral("x"));
         },
         {}},
        {"clear and insert, then another control",
         thenClean([](QAccessibleInterface *a) {
           a->editableTextInterface()->deleteText(0, a->textInterface()->characterCount());
           a->editableTextInterface()->insertText(0, QStringLiteral("77"));
         }),
         {{CTL_RATE, 2}, {CTL_RATE, 1}, {CTL_CLEAN, 1}}},
        {"clear, then another control",
         thenClean([](QAccessibleInterface *a) {
           a->editableTextInterface()->deleteText(0, a->textInterface()->characterCount());
         }),
         {{CTL_CLEAN, 1}}}}},
      {"RingControl",
       CTL_WORKMODE,
       {{0, 0}, {1, 1}},
       7,
       {Key(Qt::Key_Down), {{CTL_WORKMODE, 2}, {CTL_WORKMODE, 1}}},
       QAccessible::ComboBox,
       {SetValue(0.6, {{CTL_WORKMODE, 2}, {CTL_WORKMODE, 1}}),
        SetValue(1e12, {}),
        SetValue(kNaN, {}),
        {"show menu twice",
         [](QAccessibleInterface *a) {
           for (int i = 0; i < 2; ++i)
             a->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
         },
         {}}}},
      // The same choice again commits again; a change of port is only that.
      {"RingControl",
       CTL_SIGNALMODE,
       {{1, 1}},
       -1,
       {[](QWidget *w) { emit static_cast<QComboBox *>(w)->activated(0); }, {{CTL_SIGNALMODE, 1}}},
       QAccessible::ComboBox,
       {SetValue(1, {{CTL_SIGNALMODE, 1}})}},
      {"PortSelector",
       CTL_PORT,
       {{990, 990}},
       12345,
       {Key(Qt::Key_Down), {{CTL_PORT, 2}}},
       QAccessible::ComboBox,
       {SetValue(990, {{CTL_PORT, 2}}), SetValue(-1e12, {}), SetValue(kNaN, {})}},
      // A lamp is on for any nonzero value; its click and press are left
      // clicks, the press's from the event loop once it has returned.
      {"Led",
       CTL_COMM_LED,
       {{5, 1}, {0, 0}},
       {},
       {Click, {{CTL_COMM_LED, 3}}},
       QAccessible::Indicator,
       {{"press",
         [](QAccessibleInterface *a) {
           Press(a);
           QCoreApplication::processEvents();
         },
         {{CTL_COMM_LED, 3}}}}},
      // The meter shows any value as it comes, and takes none from outside.
      {"Meter",
       CTL_RATE_METER,
       {{-250000, -250000}},
       {},
       {Click, {}},
       QAccessible::Dial,
       {SetValue(5, {})}},
      {"Graph", CTL_PULSE_GRAPH, {}, {}, {Click, {}}, QAccessible::Chart, {}},
      {"TimerControl",
       CTL_TIMER,
       {},
       {},
       {[](QWidget *w) { static_cast<TimerControl *>(w)->tick(); }, {{CTL_TIMER, 15}}},
       QAccessible::Client,
       {}},
      {"RateTrend", CTL_RATE_TREND, {}, {}, {Click, {}}, QAccessible::Chart, {}},
      {"LogView", CTL_LINK_VIEW, {}, {}, {Click, {}}, QAccessible::Client, {}},
      {"QPushButton",
       CTL_CLEAN,
       {},
       {},
       {Click, {{CTL_CLEAN, 1}}},
       QAccessible::Button,
       {{"press",
         [](QAccessibleInterface *a) {
           Press(a); // animated: it clicks when the button comes up again
           auto *button = static_cast<QAbstractButton *>(a->object());
           EXPECT_TRUE(QTest::qWaitFor([button] { return !button->isDown(); }));
         },
         {{CTL_CLEAN, 1}}}}},
      {"QPlainTextEdit", CTL_NOTES, {}, {}, {Key(Qt::Key_A), {}}, QAccessible::EditableText, {}},
      {"QTextEdit", kRichBox, {}, {}, {Key(Qt::Key_A), {}}, QAccessible::EditableText, {}},
      {"QLineEdit", kLineBox, {}, {}, {Key(Qt::Key_A), {}}, QAccessible::EditableText, {}},
      {"QLabel", CTL_DEMO_NOTICE, {}, {}, {Click, {}}, QAccessible::StaticText, {}},
  };
  std::set<std::string> covered;
  for (const KindRow &row : rows) {
    SCOPED_TRACE(row.className);
    covered.insert(row.className);
    QWidget *widget = rt::ControlWidget(panel, row.control);
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), row.className);
    SetCtrlAttribute(panel, row.control, ATTR_DIMMED, 0);

    int v = 0;
    for (const auto &[set, read] : row.values) {
      EXPECT_EQ(SetCtrlVal(panel, row.control, set), 0);
      EXPECT_EQ(GetCtrlVal(panel, row.control, &v), 0);
      EXPECT_EQ(v, read);
    }
    if (row.values.empty()) {
      EXPECT_EQ(GetCtrlVal(panel, row.control, &v), UIE_BAD_ATTRIBUTE);
      EXPECT_EQ(SetCtrlVal(panel, row.control, 1), UIE_BAD_ATTRIBUTE);
    }
    if (row.refused) {
      const int before = row.values.back().second;
      EXPECT_EQ(SetCtrlVal(panel, row.control, *row.refused), UIE_BAD_VALUE);
      EXPECT_EQ(GetCtrlVal(panel, row.control, &v), 0);
      EXPECT_EQ(v, before);
    }
    EXPECT_EQ(GetCtrlVal(panel, row.control, nullptr), UIE_BAD_VALUE);
    EXPECT_TRUE(Take().empty()); // values the program sets raise nothing

    row.byOperator.take(widget);
    EXPECT_EQ(Take(), row.byOperator.raised);

    QAccessibleInterface *a = A(row.control);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), row.role);
    // What a callback stores: the value at a commit, or at a change for a
    // kind that commits nothing.
    int error = 0;
    const int takenOn = rt::FindControl(panel, row.control, &error)->kind->sends(EVENT_COMMIT)
                            ? EVENT_COMMIT
                            : EVENT_VAL_CHANGED;
    for (const AssistantRoute &route : row.byAssistant) {
      SCOPED_TRACE(route.name);
      int stored = 0;
      const bool hasValue = GetCtrlVal(panel, row.control, &stored) == 0;
      ValueAt().clear();
      route.take(a);
      EXPECT_EQ(Take(), route.raised);
      if (!hasValue)
        continue;
      if (const auto taken = ValueAt().find({row.control, takenOn}); taken != ValueAt().end())
        stored = taken->second;
      // Shown as it is, and as the control shows the stored value.
      const QString shown = a->text(QAccessible::Value);
      const QVariant current = a->valueInterface() ? a->valueInterface()->currentValue() : 0;
      EXPECT_EQ(SetCtrlVal(panel, row.control, stored), 0);
      EXPECT_EQ(a->text(QAccessible::Value), shown) << "shows a value that is not stored";
      if (a->valueInterface()) {
        EXPECT_EQ(a->valueInterface()->currentValue(), current);
      }
    }
    EXPECT_TRUE(Take().empty());
  }
  for (const std::string &registered : rt::KindClassNames())
    EXPECT_EQ(covered.count(registered), 1u) << registered << " has no row";
}

// CONTRIBUTING.md's example of a new kind, a check box, as built from its
// text: registered under a class of its own, which no real kind will claim,
// for a control added to the panel file with a callback that records.
class ContributingExample : public ControlKinds {
protected:
  static constexpr int kBox = 92;
  QByteArray PanelFile() override {
    const QByteArray root = "<widget class=\"QWidget\" name=\"MainPanel\">";
    const QByteArray box = "<widget class=\"ContributingCheckBox\" name=\"exampleBox\">"
                           "<property name=\"text\"><string>选项</string></property>"
                           "<property name=\"ctrlId\" stdset=\"0\"><number>92</number></property>"
                           "<property name=\"callback\" stdset=\"0\"><string>Toggled</string>"
                           "</property></widget>";
    return DeclareOwnClass(PanelFileWithEveryKind().replace(root, root + box),
                           "ContributingCheckBox", "QCheckBox");
  }
  void AddRows() override {
    std::vector<rt::ControlRow> rows = rt::RegisteredControls();
    rows.push_back({kBox, "exampleBox", "Toggled", &PanelRuntimeTest::Record, EVENT_COMMIT});
    rt::RegisterControls(rows.data(), static_cast<int>(rows.size()));
  }

  const rt::ScopedKind example{"ContributingCheckBox", rt::example::CheckBoxKind()};
};

// The mouse, the space key and a screen reader's toggle action each raise one
// commit and turn the box over; the value the program sets raises none and
// reads back.
TEST_F(ContributingExample, TheCheckBoxKindThroughEachRoute) {
  auto *box = Control<QCheckBox>(kBox);
  ASSERT_NE(box, nullptr);
  int v = -1;
  for (const int set : {1, 0, 7}) {
    EXPECT_EQ(SetCtrlVal(panel, kBox, set), 0);
    EXPECT_EQ(GetCtrlVal(panel, kBox, &v), 0);
    EXPECT_EQ(v, set != 0);
  }
  EXPECT_TRUE(Take().empty());

  const std::function<void()> routes[] = {
      // On the indicator, at the left: the box takes clicks on it and its text.
      [box] { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); },
      [box] { QTest::keyClick(box, Qt::Key_Space); },
      [box] {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(box);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(a->actionInterface(), nullptr);
        EXPECT_TRUE(a->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::toggleAction()));
        a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
      },
  };
  for (const auto &route : routes) {
    ASSERT_EQ(GetCtrlVal(panel, kBox, &v), 0);
    const int was = v;
    route();
    EXPECT_EQ(Take(), (Events{{kBox, EVENT_COMMIT}}));
    EXPECT_EQ(GetCtrlVal(panel, kBox, &v), 0);
    EXPECT_EQ(v, !was);
  }
}

} // namespace
