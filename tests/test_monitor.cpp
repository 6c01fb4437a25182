#include <gtest/gtest.h>

#include <QAccessible>

#include <algorithm>

#include "panel_fixture.h"
#include "runtime/controls/meter.h"
#include "runtime/controls/timer_control.h"

namespace {

using Monitor = PanelTest;
int Polls(const Strings &sent) {
  return static_cast<int>(std::count(sent.begin(), sent.end(), "?1,"));
}

// With the port closed the timer does nothing, and a link check only darkens
// the communication LED.
TEST_F(Monitor, WithThePortClosedTheTimerAndTheLinkCheckSendNothing) {
  for (int i = 0; i < 3; ++i)
    Tick();
  EXPECT_TRUE(Sent().empty());
  SetCtrlVal(panelHandle, CTL_COMM_LED, 1);
  Event(CTL_COMM_LED, 3);
  EXPECT_EQ(Value(CTL_COMM_LED), 0);
  EXPECT_TRUE(popups.empty());
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(portReady, 0); // and does not open it
}

TEST_F(Monitor, PollsAndReadingsAlternate) {
  Knobs([](auto &k) { k.latency = 0.01; });
  Event(CTL_PORT_LED, 3);
  std::vector<int> polls, readings;
  for (int tick = 1; tick <= 6; ++tick) {
    SetCtrlVal(panelHandle, CTL_RATE_METER, 0);
    const int before = Polls(Sent());
    Tick();
    if (Polls(Sent()) > before)
      polls.push_back(tick);
    if (Value(CTL_RATE_METER) == 3000)
      readings.push_back(tick);
    clock.Advance(0.5);
  }
  EXPECT_EQ(polls, (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(readings, (std::vector<int>{2, 4, 6}));
}

TEST_F(Monitor, SilentDeviceIsPolledEveryTickAndTheMeterKeepsItsValue) {
  Knobs([](auto &k) { k.silent = true; });
  Event(CTL_PORT_LED, 3);
  SetCtrlVal(panelHandle, CTL_RATE_METER, 1234);
  Ticks(4);
  EXPECT_EQ(Polls(Sent()), 4);
  EXPECT_EQ(Value(CTL_RATE_METER), 1234);
}

TEST_F(Monitor, MeterLooksStaleWhenItsReadingIsOld) {
  auto *meter = Control<Meter>(CTL_RATE_METER);
  ASSERT_NE(meter, nullptr);
  const auto described = [meter] {
    return QAccessible::queryAccessibleInterface(meter)->text(QAccessible::Description);
  };
  // Before the first reading: stale, and no number.
  EXPECT_TRUE(meter->isStale());
  EXPECT_EQ(meter->valueText(), QString());
  EXPECT_TRUE(described().endsWith(QStringLiteral("（尚无读数）")));
  Event(CTL_PORT_LED, 3);
  Ticks(2); // a poll, then its reading
  EXPECT_FALSE(meter->isStale());
  EXPECT_EQ(meter->valueText(), QStringLiteral("3000 r/min"));
  EXPECT_FALSE(described().contains(QStringLiteral("（")));

  // The failure popup holds the ticks, and no poll goes out; each tick it
  // holds (an interval of its wall time) is one without a reading, so the
  // meter greys under it at the fourth, as it does elsewhere.
  auto *timer = Control<TimerControl>(CTL_TIMER);
  ASSERT_NE(timer, nullptr);
  std::vector<bool> staleUnderPopup;
  rt::SetPopupHandler([&](const std::string &, const std::string &) {
    const std::size_t sent = Sent().size();
    for (int i = 0; i < Meter::kStaleAfterTicks; ++i) {
      timer->tick();
      staleUnderPopup.push_back(meter->isStale());
    }
    EXPECT_TRUE(described().endsWith(QStringLiteral("（读数已过时）")));
    EXPECT_EQ(Sent().size(), sent);
  });
  Knobs([](auto &k) { k.refuse = true; });
  Download();
  EXPECT_EQ(staleUnderPopup, (std::vector<bool>{false, false, false, true}));
  Knobs([](auto &) {});
  Ticks(2);
  EXPECT_FALSE(meter->isStale());

  // A silent device: stale at the fourth tick with no reading, value kept.
  Knobs([](auto &k) { k.silent = true; });
  for (int i = 1; i <= 4; ++i) {
    Ticks(1);
    EXPECT_EQ(meter->isStale(), i == 4) << "tick " << i;
  }
  EXPECT_EQ(Value(CTL_RATE_METER), 3000);
  EXPECT_EQ(meter->valueText(), QStringLiteral("3000 r/min"));
  EXPECT_TRUE(described().endsWith(QStringLiteral("（读数已过时）")));

  // The next reading makes it live; a lost port makes it stale at once.
  Knobs([](auto &) {});
  Ticks(2);
  EXPECT_FALSE(meter->isStale());
  device->Vanish();
  Ticks(1);
  EXPECT_TRUE(meter->isStale());
  EXPECT_EQ(Value(CTL_RATE_METER), 3000);
}

TEST_F(Monitor, RateReportWithADigitChecksumReadsRight) {
  device = std::make_shared<sim::DeviceModel>(1499);
  rt::AssignPortDevice(kDevicePort, device);
  Event(CTL_PORT_LED, 3);
  Ticks(1);
  Tick();
  EXPECT_EQ(Value(CTL_RATE_METER), 1499);
}

TEST_F(Monitor, LateAcknowledgementIsConsumedAndIgnored) {
  Event(CTL_PORT_LED, 3);
  SendOrder("Q1"); // its "E1" is waiting at the next tick
  clock.Advance(0.5);
  SetCtrlVal(panelHandle, CTL_RATE_METER, 7);
  Tick();
  EXPECT_EQ(Value(CTL_RATE_METER), 7);
  EXPECT_EQ(Polls(Sent()), 0);
  EXPECT_EQ(GetInQLen(portNumber), 0);
}

TEST_F(Monitor, VanishedDeviceDarkensThePortWithoutAPopup) {
  Event(CTL_PORT_LED, 3);
  ASSERT_EQ(Value(CTL_PORT_LED), 1);
  device->Vanish();
  Tick();
  EXPECT_TRUE(popups.empty());
  ExpectPortClosedAndChosenAnew();
  Tick(); // and stays quiet
  EXPECT_TRUE(popups.empty());
}

TEST_F(Monitor, LinkCheckAcknowledgedAndRefused) {
  Event(CTL_PORT_LED, 3);
  const int colour = SendColour();
  Event(CTL_COMM_LED, 3);
  EXPECT_EQ(Sent(), Strings{"Q1"});
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  Knobs([](auto &k) { k.refuse = true; });
  Event(CTL_COMM_LED, 3);
  EXPECT_EQ(Sent().size(), 6u);
  EXPECT_EQ(popups, Strings{kCommError});
  EXPECT_EQ(Value(CTL_COMM_LED), 0);
  EXPECT_EQ(SendColour(), colour);
  EXPECT_EQ(Value(CTL_PORT_LED), 1);
}

TEST_F(Monitor, OtherEventsAreIgnored) {
  Event(CTL_PORT_LED, 3);
  Event(CTL_COMM_LED, 1);
  Event(CTL_TIMER, 1);
  Event(CTL_SEND, 2);
  Event(CTL_PORT_LED, 1);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(popups.empty());
}

} // namespace
