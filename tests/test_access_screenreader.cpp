// What a screen reader learns of the panel: names and units, the LEDs' state,
// the meter's value and the graphs' content, and the change events that tell
// it when they change. The events are caught the way a platform bridge gets
// them: through an accessibility bridge plug-in built into the test binary.
#define QT_STATICPLUGIN
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleBridge>
#include <QAccessibleBridgePlugin>
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QtPlugin>

#include <algorithm>
#include <set>

#include "runtime/controls/meter.h"
#include "screen_reader_fixture.h"

namespace {

using screen_reader_test::Heard;
using screen_reader_test::listening;
using screen_reader_test::ScreenReader;

class RecordingBridge : public QAccessibleBridge {
public:
  void setRootObject(QAccessibleInterface *) override {}
  void notifyAccessibilityUpdate(QAccessibleEvent *event) override {
    if (!listening)
      return;
    Heard heard{event->object(), event->type(), {}, {}};
    if (event->type() == QAccessible::ValueChanged)
      heard.value = static_cast<QAccessibleValueChangeEvent *>(event)->value();
    if (event->type() == QAccessible::StateChanged)
      heard.state = static_cast<QAccessibleStateChangeEvent *>(event)->changedStates();
    listening->push_back(heard);
  }
};

} // namespace

class RecordingBridgePlugin : public QAccessibleBridgePlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QAccessibleBridgeFactoryInterface" FILE
                        "test_access_bridge.json")
public:
  QAccessibleBridge *create(const QString &) override { return new RecordingBridge; }
};

Q_IMPORT_PLUGIN(RecordingBridgePlugin)

namespace {

TEST_F(ScreenReader, EveryControlHasItsOwnNameAndTheUnitItShows) {
  std::set<QString> names;
  std::vector<int> all{CTL_TIMER, CTL_LINK_VIEW}; // and those the operator sees
  all.insert(all.end(), std::begin(kVisibleControls), std::end(kVisibleControls));
  for (int id : all) {
    SCOPED_TRACE(id);
    const QString name = A(id)->text(QAccessible::Name);
    EXPECT_FALSE(name.isEmpty());
    EXPECT_TRUE(names.insert(name).second) << name.toStdString() << " twice";
    if (auto *spin = Control<QSpinBox>(id)) {
      EXPECT_TRUE(Description(id).contains(spin->suffix().trimmed()))
          << Description(id).toStdString();
    }
  }
  EXPECT_TRUE(Description(CTL_RATE_METER).contains(Control<Meter>(CTL_RATE_METER)->unit()));
  EXPECT_EQ(A(CTL_PORT_LED)->role(), QAccessible::Indicator);
  EXPECT_EQ(A(CTL_RATE_METER)->role(), QAccessible::Dial);
  EXPECT_EQ(A(CTL_PULSE_GRAPH)->role(), QAccessible::Chart);
}

TEST_F(ScreenReader, LedsReadOutWhatTheProgramMadeOfThePortAndTheLink) {
  QAccessibleInterface *port = A(CTL_PORT_LED);
  EXPECT_TRUE(port->state().checkable);
  EXPECT_FALSE(port->state().checked);
  EXPECT_EQ(Description(CTL_PORT_LED), QStringLiteral("串口未打开"));

  Event(CTL_PORT_LED, EVENT_LEFT_CLICK); // opens the port
  EXPECT_TRUE(port->state().checked);
  EXPECT_EQ(Description(CTL_PORT_LED), QStringLiteral("串口已打开"));
  ASSERT_EQ(HeardFrom(CTL_PORT_LED, QAccessible::StateChanged).size(), 1u);
  EXPECT_TRUE(HeardFrom(CTL_PORT_LED, QAccessible::StateChanged)[0].state.checked);
  EXPECT_EQ(HeardFrom(CTL_PORT_LED, QAccessible::DescriptionChanged).size(), 1u);

  // The press action is the left click: here the link check, made from the
  // event loop once the action has returned to whoever asked.
  QAccessibleActionInterface *comm = A(CTL_COMM_LED)->actionInterface();
  ASSERT_TRUE(comm->actionNames().contains(QAccessibleActionInterface::pressAction()));
  comm->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(Sent().empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(Sent(), std::vector<std::string>{"Q1"});
  EXPECT_TRUE(A(CTL_COMM_LED)->state().checked);
  EXPECT_EQ(Description(CTL_COMM_LED), QStringLiteral("通讯正常"));
  SetCtrlAttribute(panelHandle, CTL_COMM_LED, ATTR_DIMMED, 1);
  EXPECT_FALSE(comm->actionNames().contains(QAccessibleActionInterface::pressAction()));
  comm->doAction(QAccessibleActionInterface::pressAction());
  QCoreApplication::processEvents();
  const std::vector<std::string> sent = Sent();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "Q1"), 1);

  device->Vanish();
  Tick(); // the program finds the device gone and darkens the port LED
  EXPECT_FALSE(port->state().checked);
  EXPECT_EQ(Description(CTL_PORT_LED), QStringLiteral("串口未打开"));
  EXPECT_EQ(HeardFrom(CTL_PORT_LED, QAccessible::StateChanged).size(), 2u);
  EXPECT_EQ(HeardFrom(CTL_PORT_LED, QAccessible::DescriptionChanged).size(), 2u);
}

TEST_F(ScreenReader, MeterReadsTheReportedRateAndAnnouncesOnlyChanges) {
  QAccessibleInterface *meter = A(CTL_RATE_METER);
  QAccessibleValueInterface *value = meter->valueInterface();
  ASSERT_NE(value, nullptr);
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  Ticks(4); // poll, reading, poll, the same reading again
  EXPECT_EQ(value->currentValue().toInt(), 3000);
  EXPECT_EQ(meter->text(QAccessible::Value), QStringLiteral("3000 r/min"));
  const auto changes = HeardFrom(CTL_RATE_METER, QAccessible::ValueChanged);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].value.toInt(), 3000);

  EXPECT_TRUE(meter->state().readOnly);
  value->setCurrentValue(5);
  EXPECT_EQ(Value(CTL_RATE_METER), 3000);

  // Sweep bounds committed the wrong way round: the range still reads low to high.
  Change(CTL_SWEEPMAX, 2000, EVENT_COMMIT);
  Change(CTL_SWEEPMIN, 8000, EVENT_COMMIT);
  EXPECT_EQ(value->minimumValue().toInt(), 2000);
  EXPECT_EQ(value->maximumValue().toInt(), 8000);
}

TEST_F(ScreenReader, GraphsTellWhatTheyShowAndHowLongARevolutionLasts) {
  EXPECT_EQ(Description(CTL_PULSE_GRAPH),
            QStringLiteral("一转内的脉冲信号，横轴为时间（毫秒），纵轴为幅值，共 20 ms"));
  EXPECT_TRUE(Description(CTL_LOGIC_GRAPH).endsWith(QStringLiteral("，共 20 ms")));
  EXPECT_EQ(A(CTL_PULSE_GRAPH)->childCount(), 0);

  Change(CTL_RATE, 6000, EVENT_VAL_CHANGED);
  EXPECT_TRUE(Description(CTL_PULSE_GRAPH).endsWith(QStringLiteral("，共 10 ms")));
  EXPECT_TRUE(Description(CTL_LOGIC_GRAPH).endsWith(QStringLiteral("，共 10 ms")));
  // A replot that keeps the time span says nothing new.
  Change(CTL_ANGLE, 90, EVENT_COMMIT);
  EXPECT_EQ(HeardFrom(CTL_PULSE_GRAPH, QAccessible::DescriptionChanged).size(), 1u);
  EXPECT_EQ(HeardFrom(CTL_LOGIC_GRAPH, QAccessible::DescriptionChanged).size(), 1u);

  for (const auto &[rate, lasts] : {std::pair{1, "60000"}, {7, "8571"}, {100000, "0.6"}}) {
    Change(CTL_RATE, rate, EVENT_VAL_CHANGED);
    EXPECT_TRUE(Description(CTL_PULSE_GRAPH).endsWith(QStringLiteral("，共 %1 ms").arg(lasts)));
  }
}

// A press a screen reader made while a download blocked reaches the panel
// only when the download's busy spell drains what came meanwhile: it is
// dropped there, as a click or a key would be, button and lamp alike. One
// made once the download is over downloads again.
TEST_F(ScreenReader, APressQueuedDuringADownloadIsDroppedALaterOneIsNot) {
  const QString press = QAccessibleActionInterface::pressAction();
  auto *send = Control<QAbstractButton>(CTL_SEND);
  auto pressBoth = [&] {
    A(CTL_SEND)->actionInterface()->doAction(press);
    A(CTL_COMM_LED)->actionInterface()->doAction(press);
  };
  QEventLoop loop; // the panel's callbacks run from the event loop
  QMetaObject::invokeMethod(
      &loop, [this] { Download(); }, Qt::QueuedConnection);
  QMetaObject::invokeMethod(&loop, pressBoth, Qt::QueuedConnection); // delivered in the drain
  QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  loop.exec();
  // An animated press clicks when the button comes up again.
  EXPECT_TRUE(QTest::qWaitFor([send] { return !send->isDown(); }));
  QCoreApplication::processEvents();
  const Strings download = Expected(PanelStart()).commands;
  EXPECT_EQ(Sent(), download);

  clock.Advance(0.5);
  pressBoth();
  EXPECT_TRUE(QTest::qWaitFor([send] { return !send->isDown(); }));
  QCoreApplication::processEvents();
  Strings again = download; // then the lamp's link check, then the button's download
  again.push_back("Q1");
  again.insert(again.end(), download.begin(), download.end());
  EXPECT_EQ(Sent(), again);
}

// The mouse and the keyboard cannot reach the panel behind the failure popup;
// nor can a screen reader's press, which would start a second download inside
// the first or hold the reader until the popup closes. The popup's own button
// still closes it.
TEST_F(ScreenReader, NoPressGetsPastThePopupWhichItsOwnButtonCloses) {
  rt::SetPopupHandler({}); // the real modal box
  Knobs([](auto &k) { k.refuse = true; });
  const QString press = QAccessibleActionInterface::pressAction();
  std::size_t sentBeforePresses = 0;
  bool closedByGuard = false;
  QObject guard; // only against a hang
  QTimer::singleShot(10000, &guard, [&] {
    closedByGuard = true;
    if (QWidget *box = QApplication::activeModalWidget())
      box->close();
  });
  QTimer::singleShot(0, [&] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    sentBeforePresses = Sent().size();
    A(CTL_SEND)->actionInterface()->doAction(press);
    A(CTL_COMM_LED)->actionInterface()->doAction(press);
    // An animated press clicks when the button comes up again.
    auto *send = Control<QAbstractButton>(CTL_SEND);
    EXPECT_TRUE(QTest::qWaitFor([send] { return !send->isDown(); }));
    EXPECT_EQ(Sent().size(), sentBeforePresses);
    A(CTL_ANGLE)->valueInterface()->setCurrentValue(45); // a value is taken even here
    EXPECT_EQ(Settings.angle, 45);
    QAccessible::queryAccessibleInterface(box->button(QMessageBox::Ok))
        ->actionInterface()
        ->doAction(press);
  });
  Download(); // returns once the popup is closed
  EXPECT_FALSE(closedByGuard);
  EXPECT_EQ(sentBeforePresses, 5u); // the refused mode command's five attempts
  EXPECT_EQ(Sent().size(), sentBeforePresses);
}

} // namespace

#include "test_access_screenreader.moc"
