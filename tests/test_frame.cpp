#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "link/frame.h"
#include "link/frame_codec.h"
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

TEST_F(SendOrderTest, FramesCommandsWithTerminatorUnlessTheChecksumIsZeroUpToTheLongest) {
  EXPECT_EQ(SendOrder("F1,"), 7);
  EXPECT_EQ(SendOrder("~~"), 5);
  ASSERT_EQ(device->writes.size(), 2u);
  EXPECT_EQ(Hex(device->writes[0].bytes), "24 05 46 31 2C A8 00");
  EXPECT_EQ(Hex(device->writes[1].bytes), "24 04 7E 7E 00");

  EXPECT_EQ(SendOrder(std::string(123, 'A').c_str()), 127);
  EXPECT_EQ(static_cast<unsigned char>(device->writes.back().bytes[1]), 125);
  // A payload that the one-byte length cannot carry is not sent at all.
  EXPECT_EQ(SendOrder(std::string(124, 'A').c_str()), 0);
  EXPECT_EQ(SendOrder(nullptr), 0);
  EXPECT_EQ(device->writes.size(), 3u);
}

TEST_F(ChInQuTest, NothingWaitingOrAClosedPortReadsNothing) {
  std::memset(read_data, 'x', sizeof read_data);
  EXPECT_EQ(ChInQu(), 0);
  EXPECT_EQ(read_data[0], 'x'); // untouched
  CloseCom(kPort);
  device->Queue(Frame("E1"));
  EXPECT_EQ(ChInQu(), 0);
  EXPECT_EQ(SendOrder("F1,"), 7); // the count handed over, as always
  EXPECT_TRUE(device->writes.empty());
}

// Each row is what waits, all of it consumed: a reply frame, whose letter
// and number are read, or no reply (result 0).
TEST_F(ChInQuTest, TakesAllThatWaitsAndReadsTheLetterAndNumberOfAReplyFrameOnly) {
  const std::string e1 = Frame("E1");
  ASSERT_EQ(Frame("R1499")[7], '0');
  std::string badSum = Frame("E1"), glued = Frame("E1");
  badSum[4] = static_cast<char>(badSum[4] + 1);
  glued.back() = 'x'; // a byte right after the checksum hides the frame's end
  struct Row {
    std::string bytes;
    int result;
    char letter = '\0'; // a row with no reply leaves both out
    int number = 0;
    bool plain = true; // the number as the device writes one (nuvaroctl's rate)
  } rows[] = {
      {e1, 1, 'E', 1},
      {e1.substr(0, e1.size() - 1), 1, 'E', 1}, // without the terminator
      {e1 + "zz", 1, 'E', 1},                   // bytes after the terminator do not matter
      {e1 + Frame("R3000"), 1, 'E', 1},         // of two frames the first counts
      {Frame("R100"), 1, 'R', 100},             // checksum 0xE9, above 127
      {Frame("R1499"), 1, 'R', 1499},           // the checksum byte '0' is no digit of it
      {Frame("R-250"), 1, 'R', -250},
      {Frame("R-250x7"), 1, 'R', -250, false},
      {Frame("R+7"), 1, 'R', 7, false},
      {Frame("R007"), 1, 'R', 7, false},
      {Frame("R-0"), 1, 'R', 0, false},
      {Frame("R-2147483648"), 1, 'R', -2147483647 - 1},
      {Frame("R99999999999"), 1, 'R', 2147483647, false},
      {Frame("R"), 1, 'R', 0, false},
      {std::string("$\0", 2), 1, '\0', 0, false}, // passes, but carries no letter
      {"\x01" + Frame("E1"), 0},                  // a stray byte in front
      {badSum, 0},
      {glued, 0},
      {std::string("E1\0", 3), 0},       // no frame at all
      {std::string("$"), 0},             // its length byte never came
      {Frame(std::string("E\0", 2)), 0}, // 0x00 in the payload ends the text early
      {Frame("~~"), 0},                  // and so does a 0x00 checksum
      {Frame(std::string(126, 'E')), 0}, // a length byte of 0x80 or more
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(Hex(row.bytes));
    device->Queue(row.bytes);
    ASSERT_EQ(ChInQu(), row.result);
    if (row.result == 1) {
      EXPECT_EQ(ReplyLetter(), row.letter);
      EXPECT_EQ(ReplyNumber(), row.number);
      EXPECT_EQ(ReplyNumberIsPlain(), row.plain);
    }
    EXPECT_EQ(device->Left(), 0u);
  }
}

TEST_F(ChInQuTest, NothingFromAnEarlierReadRemains) {
  device->Queue(Frame("R123456"));
  EXPECT_EQ(ChInQu(), 1);
  device->Queue(Frame("E1"));
  EXPECT_EQ(ChInQu(), 1);
  EXPECT_EQ(std::string(read_data, 8), Frame("E1") + std::string(2, '\0'));
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

// What the link view asks of the codec about a frame it saw go out or come in.
TEST(FrameCodec, CommandsAndBadChecksumsAreReadFromTheBytesGivenOnly) {
  const std::string sent = Frame("T30,");
  EXPECT_EQ(CommandPayloadLength(sent.data(), static_cast<int>(sent.size())), 4);
  EXPECT_EQ(CommandPayloadLength(sent.data(), static_cast<int>(sent.size()) - 1), -1);
  // A length byte promising more than is there: nothing past the run is read
  // (the sanitizer build sees a read beyond this vector's four bytes).
  const std::vector<char> cut{'$', 0x10, 'T', '3'};
  EXPECT_EQ(CommandPayloadLength(cut.data(), static_cast<int>(cut.size())), -1);
  EXPECT_EQ(IsFrameWithBadChecksum(cut.data(), static_cast<int>(cut.size())), 0);

  std::string reply = Frame("E1");
  reply.pop_back(); // as read, without its terminator
  EXPECT_EQ(IsFrameWithBadChecksum(reply.data(), static_cast<int>(reply.size())), 0);
  reply.back() = static_cast<char>(reply.back() + 1);
  EXPECT_EQ(IsFrameWithBadChecksum(reply.data(), static_cast<int>(reply.size())), 1);
  EXPECT_EQ(IsReplyFrame(reply.data(), static_cast<int>(reply.size())), 0);
}

} // namespace
