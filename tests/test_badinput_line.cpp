// Bad bytes on the line: a burst of noise while the timer polls, a device
// that answers garbage, replies split across reads, replies whose length byte
// lies. Nothing crashes or hangs, the meter shows only rate reports, a failed
// download or link check is reported, the timer never pops up, and Settings
// stays as the callbacks left it.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "badinput_fixture.h"

namespace {

constexpr int kMeterUntouched = -777;

bool IsPoll(const std::string &bytes) {
  return bytes == Frame("?1,");
}

class LineNoise : public BadInputTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(BadInputTest::SetUp());
    line = Attach(std::make_shared<FakeDevice>());
  }

  void OpenPort() {
    Event(CTL_PORT_LED, EVENT_LEFT_CLICK);
    ASSERT_EQ(portReady, 1);
  }

  // Answers every rate poll with "R<rate>" shortly after.
  void AnswerPolls(int rate) {
    line->onWrite = [rate](FakeDevice &d, const std::string &bytes, double now) {
      if (IsPoll(bytes))
        d.Queue(Frame("R" + std::to_string(rate)), now + 0.01);
    };
  }

  // The port still open and lit, no popup: what a tick must leave behind.
  void ExpectQuietTicks() {
    EXPECT_TRUE(popups.empty());
    EXPECT_EQ(portReady, 1);
    EXPECT_EQ(Value(CTL_PORT_LED), 1);
    EXPECT_EQ(Settings, stored);
  }

  std::shared_ptr<FakeDevice> line;
};

TEST_F(LineNoise, MegabyteBurstWhilePolling) {
  constexpr std::size_t kBurst = 1 << 20;
  AnswerPolls(2500);
  OpenPort();
  SetCtrlVal(panelHandle, CTL_RATE_METER, kMeterUntouched);

  // Random bytes with frames planted inside, and a rate report right behind
  // the noise: one tick takes all of it and recognises none of them.
  std::string noise = RandomBytes(kBurst, 20261207);
  for (const std::string &f : {Frame("E1"), Frame("R9999"), Frame("ZZZ")})
    noise.replace(kBurst / 2, f.size(), f);
  line->Queue(noise + Frame("R1111"));

  Ticks(1); // takes the backlog; nothing is polled while bytes wait
  EXPECT_EQ(GetInQLen(portNumber), 0);
  EXPECT_EQ(line->Payloads(), Strings{});
  Ticks(1); // the line is quiet: the first poll
  EXPECT_EQ(line->Payloads(), Strings{"?1,"});
  Ticks(1); // its answer
  EXPECT_EQ(Value(CTL_RATE_METER), 2500);
  ExpectQuietTicks();

  // And the monitor goes on as usual: a poll, then its reading.
  SetCtrlVal(panelHandle, CTL_RATE_METER, kMeterUntouched);
  Ticks(2);
  EXPECT_EQ(Value(CTL_RATE_METER), 2500);
  ExpectQuietTicks();
}

TEST_F(LineNoise, AbsurdRateReportsShowNoGarbage) {
  OpenPort();
  struct Case {
    std::string reply;
    int shown; // kMeterUntouched: nothing shown
  };
  std::string noTerminator = Frame("R4321");
  noTerminator.pop_back();
  const Case cases[] = {
      {Frame("R" + std::string(124, '9')), INT_MAX}, // the longest frame: saturates
      {Frame("R-" + std::string(123, '9')), INT_MIN},
      {Frame("R"), 0},
      {Frame("Rxyz"), 0},
      {noTerminator, 4321},
      {Frame("E1"), kMeterUntouched},
      {Frame("r1234"), kMeterUntouched},
      {Frame("R" + std::string(125, '1')), kMeterUntouched}, // length byte 0x80: negative
      {std::string("$\0", 2), kMeterUntouched},
      {std::string(198, 'n') + "$", kMeterUntouched},         // a "$" as the last byte a read takes
      {std::string(199, '$') + Frame("R5"), kMeterUntouched}, // discarded with the junk before it
      // "$",0x00 with a rate report behind it: an empty frame, no reading.
      {std::string("\x24\x00\x52\x33\x30\x30\x30\x7F\x00", 9), kMeterUntouched},
      {std::string("$\0", 2) + Frame("R3000"), kMeterUntouched},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.reply.size());
    SetCtrlVal(panelHandle, CTL_RATE_METER, kMeterUntouched);
    line->Queue(c.reply);
    Ticks(3); // enough to take every byte of the longest
    EXPECT_EQ(Value(CTL_RATE_METER), c.shown);
    EXPECT_EQ(GetInQLen(portNumber), 0);
  }
  ExpectQuietTicks();
}

class GarbageDevice : public LineNoise {
protected:
  // Answers every write with `reply` cut after byte `cut`: the head readable
  // 0.05 s after the write, the tail 0.15 s after it (after the check).
  void AnswerInTwo(const std::string &reply, std::size_t cut) {
    line->onWrite = [reply, cut](FakeDevice &d, const std::string &, double now) {
      d.Queue(reply.substr(0, cut), now + 0.05);
      d.Queue(reply.substr(cut), now + 0.15);
    };
  }

  // Answers every command frame (rate polls too) with `reply(n)` for the nth
  // write, readable `latency` seconds later.
  void AnswerEach(std::function<std::string(int)> reply, double latency = 0.02) {
    line->onWrite = [reply, latency, n = 0](FakeDevice &d, const std::string &,
                                            double now) mutable {
      d.Queue(reply(n++), now + latency);
    };
  }

  // A failed download: reported once, communication LED dark, the button's
  // colour as before, the port still open, Settings as stored.
  void DownloadFails() {
    popups.clear();
    const int colour = SendColour();
    SetCtrlVal(panelHandle, CTL_COMM_LED, 1);
    Download();
    EXPECT_EQ(popups, Strings{kCommError});
    EXPECT_EQ(popupTitles.back(), "");
    EXPECT_EQ(Value(CTL_COMM_LED), 0);
    EXPECT_EQ(SendColour(), colour);
    EXPECT_EQ(portReady, 1);
    EXPECT_EQ(Value(CTL_PORT_LED), 1);
    EXPECT_FALSE(rt::TimerCallbacksSuspended());
    EXPECT_EQ(Settings, stored);
  }

  // Ticks until the line is drained, then some: no popup, no reading.
  void TicksShowNothing() {
    popups.clear();
    SetCtrlVal(panelHandle, CTL_RATE_METER, kMeterUntouched);
    Ticks(20);
    EXPECT_EQ(Value(CTL_RATE_METER), kMeterUntouched);
    ExpectQuietTicks();
  }
};

TEST_F(GarbageDevice, RandomRepliesFailTheDownloadAndTheLinkCheck) {
  // From one byte to more than a read takes, without a "$" in front.
  AnswerEach([](int n) {
    std::string r = RandomBytes(1 + (n * 97) % 400, static_cast<std::uint32_t>(n));
    if (r[0] == '$')
      r[0] = '#';
    return r;
  });
  DownloadFails();
  EXPECT_EQ(line->Payloads(), Strings(5, "F3,")); // the mode command gates the rest
  popups.clear();
  Event(CTL_COMM_LED, EVENT_LEFT_CLICK);
  EXPECT_EQ(popups, Strings{kCommError});
  EXPECT_EQ(Value(CTL_COMM_LED), 0);
  TicksShowNothing();
}

TEST_F(GarbageDevice, ValidRepliesFollowedByPaddingGoThrough) {
  // Each acknowledgement comes with more padding than one read takes: the
  // check finds the acknowledgement and discards the padding with it.
  AnswerEach([](int) { return Frame("E1") + std::string(300, '\xAA'); });
  Download();
  EXPECT_TRUE(popups.empty());
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_EQ(line->Payloads(), Expected(Settings).commands);
  TicksShowNothing();
}

TEST_F(GarbageDevice, RepliesWhoseLengthByteLies) {
  auto withLength = [](std::string frame, int length) {
    frame[1] = static_cast<char>(length);
    return frame;
  };
  std::string unterminatedThenMore = Frame("E1");
  unterminatedThenMore.back() = 'x'; // a byte straight after the checksum
  const Strings variants = {
      withLength(Frame("E1"), 3),
      withLength(Frame("E1"), 5),
      withLength(Frame("E1"), 0x7F),
      withLength(Frame("E1"), 0x80),
      withLength(Frame("E1"), 0xFF),
      withLength(Frame("E1"), 0),
      unterminatedThenMore,
      std::string("$\0", 2),
      Frame("E1").substr(0, 4),            // cut before the checksum
      Frame("E1" + std::string(124, '1')), // longer than a length byte holds
      // Junk whose "$" at offset 4 starts a checksummed tail, "E1" at 2 and 3.
      std::string("\x41\x05\x45\x31\x24\x07\x78\x7F\x00", 9),
  };
  for (std::size_t v = 0; v < variants.size(); ++v) {
    SCOPED_TRACE("variant " + std::to_string(v));
    const std::string reply = variants[v];
    AnswerEach([reply](int) { return reply; });
    line->writes.clear();
    DownloadFails();
    EXPECT_EQ(line->Payloads(), Strings(5, "F3,"));
    TicksShowNothing();
  }
}

TEST_F(GarbageDevice, RepliesSplitAcrossReads) {
  const std::string ack = Frame("E1");
  // Every piece readable before the check, 0.1 s after the send: whole.
  line->onWrite = [ack](FakeDevice &d, const std::string &, double now) {
    for (std::size_t i = 0; i < ack.size(); ++i)
      d.Queue(ack.substr(i, 1), now + 0.01 + 0.015 * static_cast<double>(i));
  };
  Download();
  EXPECT_TRUE(popups.empty());
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_EQ(line->Payloads(), Expected(Settings).commands);

  // The tail lands after the check: each check sees a piece of a frame (or a
  // tail followed by the next head) and never a whole one.
  for (const std::size_t cut : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE("cut after byte " + std::to_string(cut));
    AnswerInTwo(ack, cut);
    line->writes.clear();
    DownloadFails();
    EXPECT_EQ(line->Payloads(), Strings(5, "F3,"));
    line->onWrite = nullptr;
    TicksShowNothing();
  }
}

TEST_F(GarbageDevice, TerminatorArrivingLate) {
  // A frame is taken without its terminator, so the mode command goes
  // through; the late 0x00 then leads every later read, where no frame is
  // recognised, and the download fails cleanly.
  AnswerInTwo(Frame("E1"), Frame("E1").size() - 1);
  DownloadFails();
  const Strings sent = line->Payloads();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent[0], "F3,");
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "T" + std::to_string(Settings.angle) + ","), 5);
  line->onWrite = nullptr;
  TicksShowNothing();
}

} // namespace
