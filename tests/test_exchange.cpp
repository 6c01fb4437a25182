#include <gtest/gtest.h>

#include "link/exchange.h"
#include "link_fixture.h"

namespace {

using OrderTest = LinkTest;

TEST_F(OrderTest, AcknowledgedAtOnce) {
  AnswerEach(Frame("E1"), 0.01);
  EXPECT_EQ(order("F1,"), 1);
  EXPECT_EQ(device->writes.size(), 1u);
  EXPECT_DOUBLE_EQ(clock.Now(), 0.1);
}

TEST_F(OrderTest, RefusedEveryTimeCostsFiveSendsAndHalfASecond) {
  AnswerEach(Frame("E0"));
  EXPECT_EQ(order("W100,"), 0);
  EXPECT_EQ(device->writes.size(), 5u);
  EXPECT_NEAR(clock.Now(), 0.5, 1e-9);
  for (const auto &w : device->writes)
    EXPECT_EQ(w.bytes, Frame("W100,"));
}

TEST_F(OrderTest, AcknowledgedOnlyAtTheThirdSend) {
  int sends = 0;
  device->onWrite = [&sends](FakeDevice &d, const std::string &, double now) {
    d.Queue(Frame(++sends >= 3 ? "E1" : "E0"), now + 0.02);
  };
  EXPECT_EQ(order("T30,"), 1);
  EXPECT_EQ(device->writes.size(), 3u);
  EXPECT_NEAR(clock.Now(), 0.3, 1e-9);
}

TEST_F(OrderTest, SilentDeviceGetsFiveSends) {
  EXPECT_EQ(order("Q1"), 0);
  EXPECT_EQ(device->writes.size(), 5u);
}

TEST_F(OrderTest, OtherRepliesAndLateRepliesCostAnAttempt) {
  // A rate report is not an acknowledgement; other numbers than 1 refuse.
  int sends = 0;
  device->onWrite = [&sends](FakeDevice &d, const std::string &, double now) {
    ++sends;
    const char *reply = sends == 1 ? "R3000" : sends == 2 ? "E2" : sends == 3 ? "E10" : "E1";
    d.Queue(Frame(reply), now + 0.01);
  };
  EXPECT_EQ(order("F3,"), 1);
  EXPECT_EQ(sends, 4);
}

TEST_F(OrderTest, ReplyLaterThanTheWaitIsTakenByTheNextCheck) {
  // Each reply arrives after the 0.1 s check; the second check finds the
  // first reply and accepts it.
  AnswerEach(Frame("E1"), 0.15);
  EXPECT_EQ(order("F1,"), 1);
  EXPECT_EQ(device->writes.size(), 2u);
}

} // namespace
