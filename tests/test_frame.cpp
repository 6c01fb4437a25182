#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "link/frame.h"
#include "link_fixture.h"

namespace {

std::string Hex(const std::string &bytes) {
  static const char *digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty())
      out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

using SendOrderTest = LinkTest;
using ChInQuTest = LinkTest;

// A command goes out with its terminator; a 0x00 checksum ends the frame.
TEST_F(SendOrderTest, FramesCommandWithTerminatorOrZeroChecksumLast) {
  for (const auto &[text, count, hex] :
       {std::tuple{"F1,", 7, "24 05 46 31 2C A8 00"}, std::tuple{"~~", 5, "24 04 7E 7E 00"}}) {
    EXPECT_EQ(SendOrder(text), count);
    EXPECT_EQ(Hex(device->writes.back().bytes), hex);
  }
  EXPECT_EQ(device->writes.size(), 2u);
}

TEST_F(SendOrderTest, LongestCommandsAndTooLongOnes) {
  const std::string longest(123, 'A');
  EXPECT_EQ(SendOrder(longest.c_str()), 127);
  EXPECT_EQ(static_cast<unsigned char>(device->writes.back().bytes[1]), 125);
  // A payload that the one-byte length cannot carry is not sent at all.
  const std::string tooLong(124, 'A');
  EXPECT_EQ(SendOrder(tooLong.c_str()), 0);
  EXPECT_EQ(SendOrder(nullptr), 0);
  EXPECT_EQ(device->writes.size(), 1u);
}

TEST_F(ChInQuTest, NothingWaitingReadsNothing) {
  std::memset(read_data, 'x', sizeof read_data);
  EXPECT_EQ(ChInQu(), 0);
  EXPECT_EQ(read_data[0], 'x'); // untouched
}

TEST_F(ChInQuTest, AcceptsFrameWithAndWithoutTerminator) {
  device->Queue(Frame("E1"));
  EXPECT_EQ(ChInQu(), 1);
  EXPECT_EQ(ReplyLetter(), 'E');
  EXPECT_EQ(ReplyNumber(), 1);

  std::string bare = Frame("E1");
  bare.pop_back();
  device->Queue(bare);
  EXPECT_EQ(ChInQu(), 1);
  EXPECT_EQ(device->Left(), 0u);

  // Bytes after the terminator do not matter.
  device->Queue(Frame("E1") + "zz");
  EXPECT_EQ(ChInQu(), 1);
}

TEST_F(ChInQuTest, RejectsAndConsumesMalformedReplies) {
  device->Queue("\x01" + Frame("E1")); // a stray byte in front
  EXPECT_EQ(ChInQu(), 0);
  EXPECT_EQ(device->Left(), 0u);

  std::string bad = Frame("E1");
  bad[4] = static_cast<char>(bad[4] + 1); // wrong checksum
  device->Queue(bad);
  EXPECT_EQ(ChInQu(), 0);
  EXPECT_EQ(device->Left(), 0u);

  // A byte directly after the checksum hides the frame's end.
  std::string glued = Frame("E1");
  glued.back() = 'x';
  device->Queue(glued);
  EXPECT_EQ(ChInQu(), 0);

  device->Queue(std::string("E1\0", 3)); // no frame at all
  EXPECT_EQ(ChInQu(), 0);
  device->Queue("$"); // a lone "$": its length byte never came
  EXPECT_EQ(ChInQu(), 0);
}

TEST_F(ChInQuTest, FramesThatCanNeverBeRecognised) {
  // A 0x00 inside the payload or as the checksum ends the text early.
  device->Queue(Frame(std::string("E\0", 2)));
  EXPECT_EQ(ChInQu(), 0);
  device->Queue(Frame("~~"));
  EXPECT_EQ(ChInQu(), 0);
  // A length byte of 0x80 or more (payload over 125 bytes).
  device->Queue(Frame(std::string(126, 'E')));
  EXPECT_EQ(ChInQu(), 0);
}

TEST_F(ChInQuTest, DollarZeroPassesButCarriesNoLetter) {
  device->Queue(std::string("$\0", 2));
  EXPECT_EQ(ChInQu(), 1);
  EXPECT_EQ(ReplyLetter(), '\0');
  EXPECT_EQ(ReplyNumber(), 0);
}

TEST_F(ChInQuTest, TwoFramesBackToBackFirstWinsBothConsumed) {
  device->Queue(Frame("E1") + Frame("R3000"));
  EXPECT_EQ(ChInQu(), 1);
  EXPECT_EQ(ReplyLetter(), 'E');
  EXPECT_EQ(device->Left(), 0u);
  EXPECT_EQ(ChInQu(), 0);
}

TEST_F(ChInQuTest, NothingFromAnEarlierReadRemains) {
  device->Queue(Frame("R123456"));
  EXPECT_EQ(ChInQu(), 1);
  device->Queue(Frame("E1"));
  EXPECT_EQ(ChInQu(), 1);
  EXPECT_EQ(ReadData(8), std::string("$\x04"
                                     "E1z\0\0\0",
                                     8));
}

TEST_F(ChInQuTest, TakesAtMost199BytesAndLeavesTheRest) {
  // 250 bytes waiting, a valid frame just past the first 199: the read looks
  // at 199 bytes and discards the rest, frame included, so nothing waits.
  std::string noise(199, 'n');
  device->Queue(noise + Frame("E1") + std::string(45, 'm'));
  EXPECT_EQ(ChInQu(), 0);
  EXPECT_EQ(read_data[198], 'n');
  EXPECT_EQ(read_data[199], '\0');
  EXPECT_EQ(device->Left(), 0u);
  EXPECT_EQ(ChInQu(), 0);
  // Bytes not yet arrived are no part of what was waiting.
  device->Queue(std::string(300, 'n'));
  device->Queue(Frame("E1"), 1.0);
  EXPECT_EQ(ChInQu(), 0);
  clock.Advance(1.0);
  EXPECT_EQ(ChInQu(), 1);
}

TEST_F(ChInQuTest, ChecksumsAbove127AreAccepted) {
  // "R100" sums to 0xE9: a correct frame, accepted.
  device->Queue(Frame("R100"));
  EXPECT_EQ(ChInQu(), 1);
  EXPECT_EQ(ReplyNumber(), 100);
}

TEST_F(ChInQuTest, NumberComesFromThePayloadOnly) {
  // "R1499" has the checksum byte '0': the number is still 1499.
  const std::string frame = Frame("R1499");
  ASSERT_EQ(frame[7], '0');
  device->Queue(frame);
  ASSERT_EQ(ChInQu(), 1);
  EXPECT_EQ(ReplyNumber(), 1499);

  device->Queue(Frame("R-250x7"));
  ASSERT_EQ(ChInQu(), 1);
  EXPECT_EQ(ReplyNumber(), -250);

  device->Queue(Frame("R99999999999"));
  ASSERT_EQ(ChInQu(), 1);
  EXPECT_EQ(ReplyNumber(), 2147483647);

  device->Queue(Frame("R"));
  ASSERT_EQ(ChInQu(), 1);
  EXPECT_EQ(ReplyNumber(), 0);
}

TEST_F(ChInQuTest, ClosedPortReadsNothing) {
  CloseCom(kPort);
  device->Queue(Frame("E1"));
  EXPECT_EQ(ChInQu(), 0);
  EXPECT_EQ(SendOrder("F1,"), 7); // the count handed over, as always
  EXPECT_TRUE(device->writes.empty());
}

} // namespace
