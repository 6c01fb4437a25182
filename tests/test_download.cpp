#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "fake_device.h"
#include "panel_fixture.h"

namespace {

using DownloadTest = PanelTest;

TEST_F(DownloadTest, SequencesOnTheWireInBothModes) {
  ASSERT_EQ(Settings, PanelStart()); // fixed rate, signal mode 1
  Download();
  ExpectedDownload expected = Expected(Settings);
  EXPECT_EQ(Sent(), expected.commands);
  EXPECT_EQ(device->RawBytes(), expected.frames);
  EXPECT_NEAR(clock.Now(), expected.floor, 1e-9);
  EXPECT_TRUE(popups.empty());
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_EQ(SendColour(), COLOR_SENT);
  EXPECT_FALSE(rt::TimerCallbacksSuspended());

  Change(CTL_WORKMODE, 0);
  Change(CTL_SIGNALMODE, 0);
  SettingsRecord sweep = PanelStart();
  sweep.workMode = sweep.signalMode = 0;
  ASSERT_EQ(Settings, sweep);
  device->ClearRecord();
  const double start = clock.Now();
  Download();
  expected = Expected(sweep);
  EXPECT_EQ(Sent(), expected.commands);
  EXPECT_EQ(device->RawBytes(), expected.frames);
  EXPECT_NEAR(clock.Now() - start, expected.floor, 1e-9);
  EXPECT_EQ(SendColour(), COLOR_SENT);
}

// The download's order is written in link/sequence.cpp, what it carries is
// the parameter table's: in each work mode the signal mode's command first,
// and in all one command of each format the mode's parameters have, carrying
// their values in the table's order (a choice: its command for the value).
TEST_F(DownloadTest, EachModeSendsTheCommandsOfItsParametersAsTheTableSays) {
  for (const int mode : {1, 0}) {
    SettingsRecord s = PanelStart();
    int distinct = 7;
    for (const ParameterRow &p : kParameterTable)
      if (!*p.zeroFormat)
        s.*p.field = distinct++;
    s.workMode = mode;
    Settings = s;
    device->ClearRecord();
    Download();
    const int sent = mode ? SENT_IN_FIXED_RATE : SENT_IN_SWEEP;
    std::map<std::string, std::vector<int>> numbers; // by format, in the table's order
    Strings expected;
    for (const ParameterRow &p : kParameterTable) {
      if (!(p.sentIn & sent))
        continue;
      if (*p.zeroFormat)
        expected.push_back(s.*p.field ? p.format : p.zeroFormat);
      else
        numbers[p.format].push_back(s.*p.field);
    }
    for (const auto &[format, values] : numbers) {
      std::string text = format;
      for (int v : values)
        text.replace(text.find("%d"), 2, std::to_string(v));
      expected.push_back(text);
    }
    Strings got = Sent();
    ASSERT_FALSE(got.empty()) << "mode " << mode;
    const ParameterRow &signal = *ParameterOfField(&SettingsRecord::signalMode);
    EXPECT_EQ(got[0], s.signalMode ? signal.format : signal.zeroFormat);
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected) << "mode " << mode;
  }
}

TEST_F(DownloadTest, RefusedModeCommandSendsNothingElse) {
  Knobs([](auto &k) { k.refuse = true, k.refusePrefix = "F3"; });
  const int colour = SendColour();
  Download();
  EXPECT_EQ(Sent(), Strings(kTries, Expected(Settings).commands[0]));
  EXPECT_NEAR(clock.Now(), kSettleWait + kTries * kCheckWait, 1e-9);
  EXPECT_EQ(popups, Strings{kCommError});
  EXPECT_EQ(popupTitles, Strings{""});
  EXPECT_EQ(Value(CTL_COMM_LED), 0);
  EXPECT_EQ(SendColour(), colour);
}

TEST_F(DownloadTest, RefusedWidthIsRetriedAndTheRestStillGoesOut) {
  Download(); // a good one first: LED on, button grey
  device->ClearRecord();
  Knobs([](auto &k) { k.refuse = true, k.refusePrefix = "W"; });
  Download();
  Strings expected = Expected(Settings).commands;
  expected.insert(expected.begin() + 2, kTries - 1, expected[2]); // the width, every try
  EXPECT_EQ(Sent(), expected);
  EXPECT_EQ(popups, Strings{kCommError});
  EXPECT_EQ(Value(CTL_COMM_LED), 0);
  EXPECT_EQ(SendColour(), COLOR_SENT); // unchanged by a failed download
  EXPECT_EQ(Value(CTL_PORT_LED), 1);   // the port is still there
}

TEST_F(DownloadTest, EditAfterADownloadTurnsTheButtonGreenAgain) {
  Download();
  ASSERT_EQ(SendColour(), COLOR_SENT);
  Change(CTL_WIDTH, 250);
  EXPECT_EQ(SendColour(), COLOR_PENDING);
  device->ClearRecord();
  Download();
  EXPECT_EQ(Sent()[2], "W250,");
}

// Refusals before each acceptance: the line is read one retry window more
// after the last command, and nothing more comes.
TEST_F(DownloadTest, AcknowledgedLateStillCompletes) {
  constexpr int kAcceptedTry = 3;
  Knobs([](auto &k) { k.ackFrom = kAcceptedTry; });
  Download();
  const std::size_t tries = kAcceptedTry * Expected(Settings).commands.size();
  EXPECT_EQ(Sent().size(), tries);
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_NEAR(clock.Now(), kSettleWait + static_cast<double>(tries) * kCheckWait + kLookWait, 1e-9);
}

// A rate report that lands during the 0.12 s wait is flushed; one that lands
// after the flush, before the first check, costs the mode command's attempt.
TEST_F(DownloadTest, ReplyDuringTheSettleWaitIsFlushedOneAfterItCostsAnAttempt) {
  ASSERT_EQ(Event(CTL_PORT_LED, 3), 0);
  for (const double latency : {0.05, 0.15}) {
    Knobs([latency](auto &k) { k.latency = latency; });
    device->ClearRecord();
    SendOrder("?1,");
    Knobs([](auto &k) { k.latency = 0.01; });
    Download();
    Strings expected = Expected(Settings).commands;
    expected.insert(expected.begin(), "?1,");
    if (latency > kSettleWait)
      expected.insert(expected.begin() + 1, expected[1]); // the mode command's first try lost
    EXPECT_EQ(Sent(), expected) << latency;
    EXPECT_EQ(Value(CTL_COMM_LED), 1);
  }
}

// The first download opens the port; changing the port choice marks the
// settings pending and has the next download open it again.
TEST_F(DownloadTest, FirstDownloadAndAChangedPortChoiceOpenThePort) {
  ExpectPortClosedAndChosenAnew();
  Download();
  EXPECT_EQ(portNumber, kDevicePort);
  EXPECT_EQ(slectportchanged, 0);
  EXPECT_EQ(portReady, 1);
  EXPECT_EQ(Value(CTL_PORT_LED), 1);
  ASSERT_EQ(SendColour(), COLOR_SENT);
  Event(CTL_PORT, 2);
  EXPECT_EQ(SendColour(), COLOR_PENDING);
  EXPECT_EQ(slectportchanged, 1);
  EXPECT_EQ(portReady, 1); // still open until the next download reopens it
  Download();
  EXPECT_EQ(slectportchanged, 0);
  EXPECT_EQ(SendColour(), COLOR_SENT);
}

TEST_F(DownloadTest, PortThatCannotOpenShowsThePortError) {
  const int missing = rt::AddTypedPortChoice("/dev/nuvaro-no-such-port");
  ASSERT_GT(missing, 0);
  ASSERT_EQ(SetCtrlVal(panelHandle, CTL_PORT, missing), 0);
  Event(CTL_PORT, 2);
  Download();
  EXPECT_EQ(popups, Strings{kPortError});
  EXPECT_EQ(popupTitles, Strings{""});
  ExpectPortClosedAndChosenAnew();
  EXPECT_TRUE(Sent().empty());
  // Still marked as changed: the next download tries again.
  Download();
  EXPECT_EQ(popups.size(), 2u);
}

TEST_F(DownloadTest, FailedOpenAfterAnEarlierSuccessKeepsTheChoiceFlag) {
  Event(CTL_PORT_LED, 3);
  ASSERT_EQ(portReady, 1);
  ASSERT_EQ(slectportchanged, 0);
  device->Vanish();
  Event(CTL_PORT_LED, 3);
  EXPECT_EQ(popups, Strings{kPortError});
  EXPECT_EQ(portReady, 0);
  EXPECT_EQ(slectportchanged, 0);
  // Downloads now do nothing until the port LED is clicked again.
  Download();
  EXPECT_EQ(popups.size(), 1u);
  EXPECT_TRUE(Sent().empty());
  device->Reappear();
  Event(CTL_PORT_LED, 3);
  EXPECT_EQ(portReady, 1);
  Download();
  EXPECT_EQ(Sent(), Expected(Settings).commands);
}

} // namespace
