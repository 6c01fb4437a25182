// A refused command is never shown as a success: downloads through the real
// panel against devices whose refusals the first frame of each read would
// hide, and the patterns of replies that still succeed. The simulated device
// plays each on the virtual clock, so every run is the same.
#include <gtest/gtest.h>

#include <QStringList>

#include <functional>
#include <memory>
#include <string>

#include "badinput_fixture.h"
#include "link/line_account.h"

namespace {

const QString kUncounted = QStringLiteral("拒绝未计入：有命令被设备拒绝");
const QString kLate = QStringLiteral("应答迟到：结果可能属于上一条命令");

class DownloadTruth : public BadInputTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BadInputTest::SetUp());
    // Fixed rate: F3, T30, W100, F1, R3000.
    Settings.workMode = 1, Settings.signalMode = 1, Settings.angle = 30, Settings.width = 100;
    Settings.rate = 3000;
  }
  // A fresh simulated device with `knobs` on the port, opened by the next
  // download; far enough from what came before that nothing is owed.
  std::shared_ptr<sim::DeviceModel> Fresh(const std::function<void(sim::DeviceKnobs &)> &knobs) {
    auto model = Attach(std::make_shared<sim::DeviceModel>(3000));
    sim::DeviceKnobs k;
    if (knobs)
      knobs(k);
    model->SetKnobs(k);
    slectportchanged = 1;
    popups.clear();
    clock.Advance(10.0);
    return model;
  }
  // The newest download's header in the link view (no direction, unlike
  // the row of what its flush threw away).
  QString Heading() {
    const QStringList rows = LinkViewRows();
    for (qsizetype i = rows.size(); i > 0; --i)
      if (rows[i - 1].contains(QStringLiteral("\t\t下载")))
        return rows[i - 1];
    return {};
  }
};

// Each way a refusal hid behind the first frame of a read: the popup, the
// communication LED dark, the send button's colour as it was, the view's
// heading saying why; and the device did not store the refused command.
TEST_F(DownloadTruth, RefusalsTheFirstFrameWouldHideFailTheDownload) {
  using State = sim::DeviceState;
  const struct Case {
    const char *name;
    std::function<void(sim::DeviceKnobs &)> knobs;
    std::function<bool(const State &)> stored; // the refused command's effect
    bool replyInFlight = false;                // a link test's reply held until the discard
  } cases[] = {
      {"a refusal read together with an acceptance",
       [](auto &k) {
         k.latencyFor = {{"F3", 0.15}}, k.refuse = true, k.refusePrefix = "T";
       },
       [](const State &s) { return s.angle.has_value(); }},
      {"a damaged late reply",
       [](auto &k) {
         k.latency = 0.15, k.refuse = true, k.refusePrefix = "W";
         k.strayByte = true, k.strayPrefix = "R";
       },
       [](const State &s) { return s.width.has_value(); }},
      {"a missing reply that balances a late one",
       [](auto &k) {
         k.latency = 0.15, k.refuse = true, k.refusePrefix = "W";
         k.silent = true, k.silentPrefix = "R";
       },
       [](const State &s) { return s.width.has_value(); }},
      {"a reply just past its check",
       [](auto &k) {
         k.latencyFor = {{"W", 0.101}}, k.refuse = true, k.refusePrefix = "F1";
       },
       [](const State &s) { return s.operation == sim::Operation::Fixed; }},
      {"an acknowledgement in flight at the discard",
       [](auto &k) { k.holdPrefix = "Q", k.refuse = true, k.refusePrefix = "F3"; },
       [](const State &s) { return s.signalMode.has_value(); }, true},
      {"an acknowledgement in flight at the discard, the refusal late",
       [](auto &k) {
         k.holdPrefix = "Q", k.refuse = true, k.refusePrefix = "F3";
         k.latencyFor = {{"F3", 0.15}};
       },
       [](const State &s) { return s.signalMode.has_value(); }, true},
      {"unasked rate reports during a late download",
       [](auto &k) {
         k.latency = 0.15, k.reportEvery = 0.2, k.refuse = true, k.refusePrefix = "W";
       },
       [](const State &s) { return s.width.has_value(); }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const auto model = Fresh(c.knobs);
    if (c.replyInFlight) {
      Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
      SendOrder("Q1");
    }
    const int colour = SendColour();
    Download();
    EXPECT_EQ(popups, Strings{kCommError});
    EXPECT_EQ(Value(CTL_COMM_LED), 0);
    EXPECT_EQ(SendColour(), colour);
    EXPECT_TRUE(Heading().contains(kUncounted)) << Heading().toStdString();
    EXPECT_FALSE(c.stored(model->State()));
  }
}

// The patterns the exchange rightly takes as a success still succeed, and a
// download answered in time costs no more than its commands' checks.
TEST_F(DownloadTruth, WhatTheExchangeRightlyTookStillSucceeds) {
  const double floor = kSettleWait + 5 * kCheckWait;
  for (int run = 0; run < 100; ++run) {
    Fresh({});
    const double start = clock.Now();
    Download();
    ASSERT_TRUE(popups.empty()) << run;
    ASSERT_EQ(Value(CTL_COMM_LED), 1) << run;
    ASSERT_NEAR(clock.Now() - start, floor, 1e-9) << run;
  }

  // A missed reply or a damaged one, then the retry answered in time; a
  // refusal, then the retry accepted; a device late throughout that accepts
  // everything (the heading warns).
  const struct {
    const char *name;
    std::function<void(FakeDevice &, const std::string &, double, int)> answer;
    std::function<void(sim::DeviceKnobs &)> knobs;
    bool late;
  } cases[] = {
      {"a missed reply",
       [](FakeDevice &d, const std::string &, double now, int n) {
         if (n != 2)
           d.Queue(Frame("E1"), now);
       },
       {},
       false},
      {"a damaged reply",
       [](FakeDevice &d, const std::string &, double now, int n) {
         std::string reply = Frame("E1");
         if (n == 2)
           reply[4] = 0x7B;
         d.Queue(reply, now);
       },
       {},
       false},
      {"a refusal, then the retry accepted", {}, [](auto &k) { k.ackFrom = 2; }, false},
      {"late throughout, accepting all", {}, [](auto &k) { k.latency = 0.15; }, true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    Fresh(c.knobs);
    int writes = 0; // outlives the download that counts them
    if (c.answer) {
      auto fake = Attach(std::make_shared<FakeDevice>());
      fake->onWrite = [&](FakeDevice &d, const std::string &bytes, double now) {
        c.answer(d, bytes, now, ++writes);
      };
    }
    Download();
    EXPECT_TRUE(popups.empty());
    EXPECT_EQ(Value(CTL_COMM_LED), 1);
    EXPECT_EQ(SendColour(), COLOR_SENT);
    EXPECT_EQ(Heading().contains(kLate), c.late) << Heading().toStdString();
    EXPECT_FALSE(Heading().contains(kUncounted));
  }
}

} // namespace
