// The simulated device's frame scanner and command parser: the bytes a
// program writes, read as the device reads them.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sim/command.h"
#include "sim/device_model.h"
#include "sim/frame_scanner.h"

namespace {

using Bytes = std::string;
using Strings = std::vector<std::string>;

std::vector<sim::ScannedFrame> Scan(sim::FrameScanner &scanner, const Bytes &bytes,
                                    double now = 0.0) {
  std::vector<sim::ScannedFrame> out;
  scanner.Feed(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), now, out);
  return out;
}

Strings Describe(const std::vector<sim::ScannedFrame> &frames) {
  Strings lines;
  for (const auto &f : frames)
    lines.push_back(f.valid ? f.bytes : "bad: " + f.problem);
  return lines;
}

// ---- Frame scanner -------------------------------------------------------

TEST(FrameScanner, EncodesFramesAsTheProgramDoes) {
  EXPECT_EQ(sim::EncodeFrame("F1,"), Bytes("\x24\x05\x46\x31\x2C\xA8\x00", 7));
  EXPECT_EQ(sim::EncodeFrame("E1"), Bytes("\x24\x04\x45\x31\x7A\x00", 6));
  EXPECT_EQ(sim::FrameChecksum("~~"), 0x00);
  EXPECT_EQ(sim::EncodeFrame(Bytes(200, 'x')).size(), 127u); // cut to 123 payload bytes
}

// A frame split across feeds comes out once; the terminator is optional.
TEST(FrameScanner, FramesComeOutWholeSplitOrWithoutTheirTerminator) {
  sim::FrameScanner split;
  const Bytes frame = sim::EncodeFrame("D1000,6000,100,");
  std::vector<sim::ScannedFrame> all;
  for (char c : frame) {
    auto part = Scan(split, Bytes(1, c));
    all.insert(all.end(), part.begin(), part.end());
  }
  EXPECT_EQ(Describe(all), Strings{"D1000,6000,100,"});
  EXPECT_EQ(split.BadFrames(), 0u);
  EXPECT_EQ(split.DroppedBytes(), 0u);

  sim::FrameScanner scanner;
  // "~~" has checksum 0x00 and goes out without a terminator; the next frame
  // follows at once. A frame without its terminator is accepted too.
  const Bytes zero("\x24\x04\x7E\x7E\x00", 5);
  const Bytes f1 = sim::EncodeFrame("F1,");
  const Bytes bare = f1.substr(0, f1.size() - 1);
  EXPECT_EQ(Describe(Scan(scanner, zero + f1 + bare + zero + zero)),
            (Strings{"~~", "F1,", "F1,", "~~", "~~"}));
  EXPECT_EQ(scanner.DroppedBytes(), 0u);
  EXPECT_EQ(scanner.Buffered(), 0u);
}

TEST(FrameScanner, ResynchronisesAfterGarbageBadFramesAndFalseStarts) {
  sim::FrameScanner scanner;
  Bytes bad = sim::EncodeFrame("W5,");
  bad[bad.size() - 2] ^= 0x01;
  const Bytes input =
      Bytes("xy\x00\x00", 4) + bad + Bytes("$\x01") + Bytes("$\xF0", 2) + sim::EncodeFrame("Q1");
  EXPECT_EQ(Describe(Scan(scanner, input)),
            (Strings{"bad: bad checksum", "bad: bad length", "bad: bad length", "Q1"}));
  EXPECT_EQ(scanner.BadFrames(), 3u);
  EXPECT_GE(scanner.DroppedBytes(), 4u);

  // A stray "$" with a plausible length byte takes the real frames behind it
  // into its candidate; when the checksum fails they are found all the same.
  sim::FrameScanner fresh;
  const Bytes falseStart = Bytes("$\x0A") + sim::EncodeFrame("F1,") + sim::EncodeFrame("Q1");
  EXPECT_EQ(Describe(Scan(fresh, falseStart)), (Strings{"bad: bad checksum", "F1,", "Q1"}));
}

TEST(FrameScanner, StalledCandidateIsDroppedWhenTheNextBytesArrive) {
  sim::FrameScanner scanner;
  EXPECT_TRUE(Scan(scanner, "$\x7D", 1.0).empty()); // waits for 126 bytes
  EXPECT_EQ(Describe(Scan(scanner, sim::EncodeFrame("F3,"), 1.1)),
            (Strings{"bad: incomplete", "F3,"}));

  // Within the timeout a frame may arrive in pieces.
  const Bytes frame = sim::EncodeFrame("T30,");
  EXPECT_TRUE(Scan(scanner, frame.substr(0, 3), 2.0).empty());
  EXPECT_EQ(Describe(Scan(scanner, frame.substr(3), 2.01)), Strings{"T30,"});
}

TEST(FrameScanner, GarbageNeverGrowsTheBufferAndAFrameStillGetsThrough) {
  sim::FrameScanner scanner;
  std::uint32_t seed = 12345;
  Bytes chunk(997, '\0');
  for (int round = 0; round < 1000; ++round) {
    for (char &c : chunk) {
      seed = seed * 1664525u + 1013904223u;
      // Plenty of "$" so that candidates keep starting.
      c = static_cast<char>((seed >> 24) % 7 == 0 ? '$' : seed >> 16);
    }
    Scan(scanner, chunk, 0.0);
    ASSERT_LE(scanner.Buffered(), static_cast<std::size_t>(sim::kMaxFrameBytes));
  }
  EXPECT_GT(scanner.BadFrames(), 0u);
  const auto frames = Scan(scanner, sim::EncodeFrame("?1,"), 1.0);
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(Describe({frames.back()}), Strings{"?1,"});
}

// ---- Commands ------------------------------------------------------------

TEST(Command, ParsesEveryCommandTheProgramSendsAndSpellsItBack) {
  auto d = sim::ParseCommand("D-5,6000,100,");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->kind, sim::CommandKind::SweepBounds);
  EXPECT_EQ(d->values, (std::array<int, 3>{-5, 6000, 100}));
  EXPECT_EQ(sim::ParseCommand("T-2147483648,")->values[0], INT32_MIN);
  EXPECT_EQ(sim::ParseCommand("R2147483647,")->values[0], INT32_MAX);
  EXPECT_EQ(sim::ParseCommand("Q1")->kind, sim::CommandKind::LinkTest);
  EXPECT_EQ(sim::ParseCommand("?1,")->kind, sim::CommandKind::RatePoll);
  EXPECT_EQ(sim::ParseCommand("F4,")->kind, sim::CommandKind::SignalModeOff);
  EXPECT_EQ(sim::ParseCommand("P0,")->kind, sim::CommandKind::Repeat);
  for (const char *payload : {"F3,", "F4,", "T-2147483648,", "W7,", "F1,", "R2147483647,",
                              "D-5,6000,100,", "P0,", "F2,", "Q1", "?1,"}) {
    const auto command = sim::ParseCommand(payload);
    ASSERT_TRUE(command) << payload;
    EXPECT_EQ(sim::FormatCommand(*command), payload);
  }
}

TEST(Command, RejectsMalformedAndUnknownPayloads) {
  const char *const rejected[] = {
      // The number: missing, cut, doubled, spaced, signed, in hex, past 32 bits.
      "", "T", "T,", "T-,", "T30", "T30,,", "T3 0,", "T+30,", "T0x1,", "T2147483648,",
      "W-2147483649,",
      // A sweep's three values, as two or four.
      "D1,2,", "D1,2,3", "D1,2,3,4,",
      // Other commands: unknown, or off by a letter, a number or a comma.
      "F5,", "F1", "Q1,", "Q2", "q1", "?1", "?2,", "X1,", "E1"};
  for (const char *payload : rejected)
    EXPECT_FALSE(sim::ParseCommand(payload)) << payload;
  EXPECT_FALSE(sim::ParseCommand(std::string_view("T3\0,", 4)));
}

} // namespace
