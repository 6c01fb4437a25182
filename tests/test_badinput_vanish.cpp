// A device that goes away in the middle of a download, a poll or a link
// check, and comes back: the port LED goes dark, the port counts as closed
// and chosen anew, only the download and the link check pop up, and the next
// download after the device is back opens the port again.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "badinput_fixture.h"

namespace {

class Vanishing : public BadInputTest {
protected:
  // The device vanishes when it receives the first command starting with
  // `prefix`.
  void VanishOn(const std::string &prefix) {
    // The model calls a copy of the observer: the flag is shared.
    auto done = std::make_shared<bool>(false);
    device->SetFrameObserver([this, prefix, done](const sim::FrameEvent &e) {
      if (!*done && e.frame.valid && e.frame.bytes.rfind(prefix, 0) == 0) {
        *done = true;
        device->Vanish();
      }
    });
  }

  void ExpectPortLost() {
    ExpectPortClosedAndChosenAnew();
    EXPECT_FALSE(rt::TimerCallbacksSuspended());
    EXPECT_EQ(Settings, stored);
  }

  // Back again: the next download opens the port and goes through whole.
  void ExpectRecovery() {
    device->SetFrameObserver(nullptr);
    device->Reappear();
    popups.clear();
    DownloadAndExpectSettingsSent();
    EXPECT_EQ(Value(CTL_PORT_LED), 1);
    EXPECT_EQ(portReady, 1);
    EXPECT_EQ(slectportchanged, 0);
    EXPECT_EQ(SendColour(), COLOR_SENT);
  }
};

TEST_F(Vanishing, OnEachCommandOfADownloadInBothModes) {
  for (const int workMode : {1, 0}) {
    Change(CTL_WORKMODE, workMode);
    // Each command of the mode's download, as the expected download spells it.
    for (const std::string &command : Expected(Settings).commands) {
      SCOPED_TRACE(std::string(workMode ? "fixed, " : "sweep, ") + command);
      Change(CTL_WORKMODE, workMode); // the send button pending again
      stored = Settings;
      VanishOn(command);
      popups.clear();
      Download();
      EXPECT_EQ(popups, Strings{kCommError});
      EXPECT_EQ(Value(CTL_COMM_LED), 0);
      EXPECT_EQ(SendColour(), COLOR_PENDING); // a failed download leaves it green
      ExpectPortLost();
      Ticks(3); // the timer says nothing and sends nothing
      EXPECT_EQ(popups.size(), 1u);
      ExpectRecovery();
    }
  }
}

TEST_F(Vanishing, GoneBeforeTheDownloadAndStillGoneAtTheNext) {
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK); // open, then unplugged with no tick in between
  device->Vanish();
  Download();
  EXPECT_EQ(popups, Strings{kCommError});
  ExpectPortLost();
  // Still gone: the next download tries to open it and says so.
  Download();
  EXPECT_EQ(popups, (Strings{kCommError, kPortError}));
  ExpectPortLost();
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  EXPECT_EQ(popups.size(), 3u);
  EXPECT_EQ(popups.back(), kPortError);
  ExpectPortLost();
  ExpectRecovery();
}

TEST_F(Vanishing, DuringTheSettleWait) {
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  DownloadHooked([this](double seconds) {
    if (seconds > 0.11 && seconds < 0.13) // the wait before the input is flushed
      device->Vanish();
  });
  EXPECT_EQ(popups, Strings{kCommError});
  EXPECT_TRUE(Sent().empty());
  ExpectPortLost();
  ExpectRecovery();
}

TEST_F(Vanishing, BackWithinOneCommandsRetriesIsNoFailure) {
  // Unplugged as the width goes out and plugged back in during the wait for
  // its reply: the reply is lost, the next attempt is acknowledged.
  VanishOn("W");
  DownloadHooked([this](double) {
    if (!device->Present())
      device->Reappear();
  });
  EXPECT_TRUE(popups.empty());
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_EQ(Value(CTL_PORT_LED), 1);
  EXPECT_EQ(portReady, 1);
  Strings expected = Expected(Settings).commands;
  expected.insert(expected.begin() + 2, expected[2]); // the width twice
  EXPECT_EQ(Sent(), expected);
}

TEST_F(Vanishing, WhileAPollIsAnswered) {
  Knobs([](auto &k) { k.latency = 0.01; });
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  Ticks(2); // a poll and its reading
  ASSERT_EQ(Value(CTL_RATE_METER), 3000);
  Tick();           // the next poll goes out...
  device->Vanish(); // ...and the device is gone before it answers
  clock.Advance(kTickInterval);
  Ticks(5);
  EXPECT_TRUE(popups.empty());
  EXPECT_EQ(Value(CTL_RATE_METER), 3000); // the last reading stays
  ExpectPortLost();
  // Back, but the timer does not reopen the port by itself.
  device->Reappear();
  device->ClearRecord();
  Ticks(3);
  EXPECT_TRUE(Sent().empty());
  ExpectRecovery();
  device->ClearRecord();
  Ticks(2);
  EXPECT_EQ(Sent(), Strings{"?1,"});
}

TEST_F(Vanishing, OnReceivingThePoll) {
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  VanishOn("?1");
  Ticks(3); // it goes within the first, between the poll and the read
  EXPECT_TRUE(popups.empty());
  ExpectPortLost();
  ExpectRecovery();
}

TEST_F(Vanishing, DuringTheLinkCheck) {
  Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
  VanishOn("Q1");
  SetCtrlVal(panelHandle, CTL_COMM_LED, 1);
  Event(CTL_COMM_LED, EVENT_LEFT_CLICK);
  EXPECT_EQ(popups, Strings{kCommError});
  EXPECT_EQ(Value(CTL_COMM_LED), 0);
  ExpectPortLost();
  // A second check with the port counted closed only darkens the LED.
  Event(CTL_COMM_LED, EVENT_LEFT_CLICK);
  EXPECT_EQ(popups.size(), 1u);
  ExpectRecovery();
}

} // namespace
