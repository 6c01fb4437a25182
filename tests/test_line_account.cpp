// The line's account on its own: how a run of bytes splits into frames, and
// the verdict each pattern of tries and replies gets, fed by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_device.h"
#include "link/line_account.h"

namespace {

using Strings = std::vector<std::string>;

// The items of `bytes` as "kind:length", the run taken as complete.
Strings Items(const std::string &bytes) {
  Strings out;
  LineItem item;
  for (int at = 0, n; (n = NextLineItem(bytes.data() + at, int(bytes.size()) - at, 0, &item)) > 0;
       at += n)
    out.push_back(std::to_string(item.kind) + ":" + std::to_string(n));
  return out;
}

TEST(LineItems, FramesAnywhereAmongStrayAndDamagedBytes) {
  const std::string e1 = Frame("E1"); // with its terminator: 6 bytes
  std::string damaged = Frame("E1");
  damaged[4] = static_cast<char>(damaged[4] + 1);
  EXPECT_EQ(Items(e1 + Frame("E0") + Frame("R3000")), (Strings{"0:6", "1:6", "2:9"}));
  EXPECT_EQ(Items("\xFF" + e1.substr(0, 5) + "\r\n" + Frame("Q9")),
            (Strings{"5:1", "0:5", "5:2", "3:6"}));
  // A bad checksum is one damaged item, but never swallows a good frame behind it.
  EXPECT_EQ(Items(damaged + e1), (Strings{"4:5", "5:1", "0:6"}));
  EXPECT_EQ(Items(std::string("$\x7F") + e1), (Strings{"5:2", "0:6"}));
  EXPECT_EQ(Items(std::string("$\x00", 2)), (Strings{"5:2"}));
  // A run that may still become a frame waits for more.
  LineItem item;
  EXPECT_EQ(NextLineItem(e1.data(), 4, 1, &item), 0);
  EXPECT_EQ(NextLineItem("$", 1, 1, &item), 0);
}

// One group fed by hand: each try is sent, then its check reads what the
// test gives; then the look, if the account asks for it.
class Account : public ::testing::Test {
protected:
  void SetUp() override { ResetLineAccount(); }
  void TearDown() override { ResetLineAccount(); }

  void Open(int group = LINE_GROUP_DOWNLOAD) { AccountOpen(group, now); }
  void Try(const std::string &command, const std::string &read) {
    AccountSent(command.c_str(), now);
    now += 0.1;
    AccountRead(read.data(), int(read.size()), now);
  }
  // The end of the group: the look, when asked for, reads `after`.
  int Close(const std::string &after = {}) {
    looked = AccountNeedsLook();
    if (looked) {
      AccountLook();
      now += 0.5;
      AccountRead(after.data(), int(after.size()), now);
    }
    return AccountClose(now);
  }

  double now = 10.0;
  bool looked = false;
};

// Every row of the verdict's table, as the link sees it.
TEST_F(Account, EachPatternOfRepliesGetsItsVerdict) {
  const std::string e1 = Frame("E1"), e0 = Frame("E0"), r = Frame("R3000");
  std::string damaged = e1;
  damaged[4] = 0x7B;
  const struct Case {
    const char *name;
    Strings reads; // at each try's check, the tries alternating F3, and T30,
    std::string after;
    bool looks;
    int verdict;
    int firstInDoubt;
  } cases[] = {
      {"in time", {e1, e1}, "", false, LINE_IN_STEP, -1},
      {"a missed reply, the retry answered", {"", e1, e1}, "", true, LINE_IN_STEP, -1},
      {"a damaged reply, the retry answered", {damaged, e1, e1}, "", true, LINE_IN_STEP, -1},
      {"a refusal, the retry answered", {e0, e1, e1}, "", true, LINE_IN_STEP, -1},
      {"a rate report read before the reply", {r + e1, e1}, "", false, LINE_IN_STEP, -1},
      {"every reply late, all accepted", {"", e1, e1}, e1, true, LINE_LATE, 0},
      {"two acceptances in one read", {"", e1 + e1}, "", true, LINE_LATE, 0},
      {"a refusal behind an acceptance", {"", e1, e1 + e0}, "", false, LINE_REFUSAL_UNCOUNTED, 0},
      {"a refusal after a missed reply",
       {e1, "", e1, e0, e1},
       "",
       false,
       LINE_REFUSAL_UNCOUNTED,
       1},
      {"a refusal in time, then one more reply", {e0, e1, e1}, e1, true, LINE_REFUSAL_UNCOUNTED, 0},
      {"a refusal in the look", {"", e1, e1}, "\xFF" + e0, true, LINE_REFUSAL_UNCOUNTED, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    ResetLineAccount();
    Open();
    for (std::size_t i = 0; i < c.reads.size(); ++i)
      Try(i % 2 ? "T30," : "F3,", c.reads[i]);
    EXPECT_EQ(Close(c.after), c.verdict);
    EXPECT_EQ(looked, c.looks);
    EXPECT_EQ(lineAccount.firstInDoubt, c.firstInDoubt);
    EXPECT_EQ(lineAccount.tries, int(c.reads.size()));
    now += 10.0; // no group in this table meets another's replies
  }
}

// A frame cut by the end of a read counts where it is completed, and a
// group meets what may be owed from before it: an acknowledgement thrown
// away by the flush, read outside any group, or owed by the group before.
TEST_F(Account, CutFramesAndRepliesOwedFromBefore) {
  const std::string e1 = Frame("E1"), e0 = Frame("E0");
  Open();
  Try("F3,", e1.substr(0, 3));
  Try("F3,", e1.substr(3) + e1);
  EXPECT_EQ(lineAccount.tryList[0].replies, 0);
  EXPECT_EQ(lineAccount.tryList[1].replies, 2);
  EXPECT_EQ(Close(), LINE_LATE);

  // Each kind of debt makes a clean-looking group look after itself, and a
  // refusal in it is not taken at its word.
  for (const std::string debt : {"discarded", "read outside", "owed by the group before"}) {
    for (const bool refused : {false, true}) {
      SCOPED_TRACE(debt + (refused ? ", refused" : ""));
      ResetLineAccount();
      if (debt == "discarded") {
        AccountDiscarded(e1.data(), int(e1.size()), now);
      } else if (debt == "read outside") {
        AccountRead(e1.data(), int(e1.size()), now);
      } else {
        Open(LINE_GROUP_LINK_CHECK);
        Try("Q1", "");
        Try("Q1", e1);
        EXPECT_EQ(Close(), LINE_IN_STEP);
      }
      now += 0.12;
      Open();
      EXPECT_TRUE(lineAccount.owedAtStart);
      if (refused)
        Try("F3,", e0);
      Try("F3,", e1);
      EXPECT_EQ(Close(), refused ? LINE_REFUSAL_UNCOUNTED : LINE_IN_STEP);
      EXPECT_EQ(looked, !refused);
    }
  }

  // Long enough after, nothing is owed.
  ResetLineAccount();
  AccountRead(e1.data(), int(e1.size()), now);
  now += LINE_OWED_WINDOW + 0.01;
  Open();
  EXPECT_FALSE(lineAccount.owedAtStart);
  Try("F3,", e1);
  EXPECT_EQ(Close(), LINE_IN_STEP);
  EXPECT_FALSE(looked);
}

} // namespace
